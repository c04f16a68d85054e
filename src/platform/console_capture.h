// The reader of a captured standard output, shared by the platforms: a thread takes the bytes
// out of the pipe as they arrive, so that a writer never waits for the pipe to drain, and
// ReadCapturedOutput takes what is left in the pipe too, so that nothing written before its call
// is missed or comes out of order.
#pragma once

#include <memory>
#include <string>

namespace wi::console {

// The reading end of the pipe that standard output now writes into.
class CapturePipe {
public:
    virtual ~CapturePipe() = default;
    // Waits at most this long for bytes to read; false when none came.
    virtual bool WaitReadable(unsigned milliseconds) = 0;
    // The bytes in the pipe now, without waiting; false once every writer is gone.
    virtual bool ReadAvailable(std::string& bytes) = 0;
};

// Starts the reader of the pipe (once per process; a later call is ignored).
void StartCaptureReader(std::unique_ptr<CapturePipe> pipe);

}  // namespace wi::console
