// Event objects. Every live event is kept in a registry, so that a pointer which is not a live
// event (never created, or already closed) is recognised and never dereferenced.
#include "platform/events.h"

#include <mutex>
#include <unordered_set>

namespace wi::platform {

namespace {

struct Event {
    bool manualReset;
    bool signalled;
};

std::mutex registryMutex;
std::unordered_set<Event*>& Registry() {
    static auto* registry = new std::unordered_set<Event*>;  // outlives static destructors
    return *registry;
}

// The live event behind the pointer, or null; call with registryMutex held.
Event* Find(void* pointer) {
    auto found = Registry().find(static_cast<Event*>(pointer));
    return found == Registry().end() ? nullptr : *found;
}

}  // namespace

void* CreateEventObject(bool manualReset, bool initiallySignalled) {
    auto* event = new Event{manualReset, initiallySignalled};
    std::lock_guard<std::mutex> lock(registryMutex);
    Registry().insert(event);
    return event;
}

bool SetEventObject(void* pointer) {
    std::lock_guard<std::mutex> lock(registryMutex);
    Event* event = Find(pointer);
    if (event) event->signalled = true;
    return event != nullptr;
}

bool ResetEventObject(void* pointer) {
    std::lock_guard<std::mutex> lock(registryMutex);
    Event* event = Find(pointer);
    if (event) event->signalled = false;
    return event != nullptr;
}

void CloseEventObject(void* pointer) {
    std::lock_guard<std::mutex> lock(registryMutex);
    Event* event = Find(pointer);
    if (!event) return;
    Registry().erase(event);
    delete event;
}

bool IsEventSignalled(void* pointer) {
    std::lock_guard<std::mutex> lock(registryMutex);
    Event* event = Find(pointer);
    if (!event || !event->signalled) return false;
    if (!event->manualReset) event->signalled = false;
    return true;
}

}  // namespace wi::platform
