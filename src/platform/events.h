// Event objects, as the cancel arguments of long operations take them.
#pragma once

namespace wi::platform {

void* CreateEventObject(bool manualReset, bool initiallySignalled);
bool SetEventObject(void* event);
bool ResetEventObject(void* event);
void CloseEventObject(void* event);
// Tests the event without waiting; an auto-reset event is reset by a positive test. A pointer
// that is not a live event is never signalled.
bool IsEventSignalled(void* event);

}  // namespace wi::platform
