#include "transfer/size_probe.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "frame/query.h"
#include "transfer/size_probe_client.h"
#include "webinteractive/transfer.h"

namespace wi::transfer {
namespace {

bool EndsAddress(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' || byte == 0x7f;
}

// Where the first line starting with the key begins, or npos; lower holds the lower-case text.
std::size_t FindLineStart(const std::string& lower, const std::string& key) {
    for (std::size_t at = lower.find(key); at != std::string::npos; at = lower.find(key, at + 1)) {
        if (at == 0 || lower[at - 1] == '\n') return at;
    }
    return std::string::npos;
}

}  // namespace

std::string FileAddressFromLocatorAnswer(const std::string& answer) {
    const std::size_t begin = answer.find("http://");
    if (begin == std::string::npos) return std::string();
    std::size_t end = begin;
    while (end < answer.size() && !EndsAddress(answer[end])) ++end;
    return answer.substr(begin, end - begin);
}

std::int64_t ReadContentLength(const std::string& answer) {
    std::string lower = answer;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // A header name only counts at the start of a line: "X-Original-Content-Length: " is another
    // header.
    const std::string key = "content-length: ";
    const std::size_t at = FindLineStart(lower, key);
    if (at == std::string::npos) return -1;
    const std::size_t begin = at + key.size();
    const std::size_t end = answer.find("\r\n", begin);
    if (end == std::string::npos) return -1;
    // Sizes of 2 GiB and more need all 64 bits.
    const std::string value = answer.substr(begin, end - begin);
    errno = 0;
    const long long size = std::strtoll(value.c_str(), nullptr, 10);
    if (errno == ERANGE || size < 0) return -1;
    return size;
}

}  // namespace wi::transfer

namespace IWebInteractive {

std::int64_t GetDownloadSize(const char* url, const char* fileName) {
    using namespace wi::transfer;
    if (url == nullptr || fileName == nullptr || *fileName == '\0') return -1;

    std::string name = fileName;
    const std::string locator =
        wi::frame::AppendQueryParameter(url, "filename=" + wi::frame::EncodeQueryValue(name));

    ProbeClient locatorClient;
    if (locatorClient.Request(locator, false) != kProbeDone) return -1;
    locatorClient.Close();
    const std::string fileAddress = FileAddressFromLocatorAnswer(locatorClient.Response());

    ProbeClient fileClient;
    if (fileClient.Request(fileAddress, true) != kProbeDone) return -1;
    fileClient.Close();
    return ReadContentLength(fileClient.Response());
}

}  // namespace IWebInteractive
