// Fuzz target for what the reference service takes from request headers into its answers and its
// log: the forwarded scheme and host and the Host header in the addresses its locators answer,
// X-Forwarded-For, the request line, Referer and User-Agent in its log line. Whatever they hold,
// an address is "http(s)://" + plain host characters + a path ending in '/', and a log line is
// one line of printable ASCII with its six quotes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "public_address.h"
#include "request_log.h"

namespace {

bool PlainAddress(const std::string& address) {
    if (address.rfind("http://", 0) != 0 && address.rfind("https://", 0) != 0) return false;
    if (address.back() != '/') return false;
    for (const unsigned char c : address) {
        if (c <= 0x20 || c >= 0x7f || c == '"' || c == '<' || c == '>' || c == '\\' ||
            c == '?' || c == '#') {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Fields separated by newlines: public URL, Host, X-Forwarded-Proto, X-Forwarded-Host,
    // X-Forwarded-For, method, target, Referer, User-Agent.
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n' && fields.size() < 9) {
            fields.emplace_back();
        } else {
            fields.back() += static_cast<char>(data[i]);
        }
    }
    fields.resize(9);
    using namespace wi::service;

    AddressSettings settings;
    settings.publicBase = ParsePublicUrl(fields[0]);
    if (settings.publicBase &&
        (settings.publicBase->path.front() != '/' || settings.publicBase->path.back() != '/' ||
         !PlainAddress(settings.publicBase->scheme + "://" + settings.publicBase->authority +
                       settings.publicBase->path))) {
        std::abort();
    }
    settings.listen = "::1";
    settings.port = 8080;
    for (const bool trust : {false, true}) {
        settings.trustProxy = trust;
        if (!PlainAddress(BaseAddress(settings, {fields[1], fields[2], fields[3]}))) std::abort();
    }

    LoggedRequest request;
    request.client = LoggedClient("127.0.0.1", fields[4], true);
    request.method = fields[5];
    request.target = fields[6];
    request.version = "HTTP/1.1";
    request.referer = fields[7];
    request.userAgent = fields[8];
    const std::string line = CombinedLogLine(request);
    std::size_t quotes = 0;
    for (const unsigned char c : line) {
        if (c < 0x20 || c >= 0x7f) std::abort();
        quotes += c == '"';
    }
    if (quotes != 6) std::abort();
    return 0;
}
