// Fuzz target for the size probe's readers of outside text: the answer's Content-Length and the
// address the service hands back. Neither may crash, and a size is -1 or a value that stood in
// the answer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "transfer/size_probe.h"
#include "transfer/size_probe_client.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::int64_t length = wi::transfer::ReadContentLength(input);
    if (length != -1 && input.size() < 16) {
        // "content-length: " alone takes 16 characters: a shorter answer has no length.
        std::abort();
    }
    wi::transfer::ProbeTarget target;
    const int code = wi::transfer::ParseProbeAddress(input, target);
    if (code == wi::transfer::kProbeDone && (target.port < 1 || target.port > 65535)) std::abort();
    if (code == wi::transfer::kProbeDone && target.resource.empty()) std::abort();
    return 0;
}
