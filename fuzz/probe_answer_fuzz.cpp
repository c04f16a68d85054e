// Fuzz target for the size probe's readers of outside text: the answer's Content-Length, the
// file's address in the locator's answer, and the request the probe then sends for it. None may
// crash; a size is -1 or not negative; the address is cut before any blank or control character,
// so the request built from it is exactly one request with its seven lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "transfer/size_probe.h"
#include "transfer/size_probe_client.h"

namespace {

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

void CheckContentLength(const std::string& input) {
    const std::int64_t length = wi::transfer::ReadContentLength(input);
    // "content-length: " alone takes 16 characters: a shorter answer has no length.
    if (length != -1 && input.size() < 16) std::abort();
    if (length < -1) std::abort();
}

void CheckFileAddress(const std::string& input) {
    const std::string address = wi::transfer::FileAddressFromLocatorAnswer(input);
    if (!address.empty() && address.rfind("http://", 0) != 0) std::abort();
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == 0x7f) std::abort();
    }
    wi::transfer::ProbeTarget target;
    if (wi::transfer::ParseProbeAddress(address, target) != wi::transfer::kProbeDone) return;
    const std::string request =
        wi::transfer::BuildProbeRequest(true, target.resource, target.host);
    if (Count(request, "\n") != 7 || Count(request, "\r\n") != 7) std::abort();
}

void CheckProbeAddress(const std::string& input) {
    wi::transfer::ProbeTarget target;
    const int code = wi::transfer::ParseProbeAddress(input, target);
    if (code == wi::transfer::kProbeDone && (target.port < 1 || target.port > 65535)) std::abort();
    if (code == wi::transfer::kProbeDone && target.resource.empty()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    CheckContentLength(input);
    CheckFileAddress(input);
    CheckProbeAddress(input);
    return 0;
}
