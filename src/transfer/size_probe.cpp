#include "transfer/size_probe.h"

#include <cctype>
#include <cstdlib>

#include "frame/query.h"
#include "transfer/size_probe_client.h"
#include "webinteractive/transfer.h"

namespace wi::transfer {
namespace {

// The file's address in a locator answer: from its first "http://" to the end; "" when none.
std::string FileAddressFromLocatorAnswer(const std::string& answer) {
    const std::size_t at = answer.find("http://");
    return at == std::string::npos ? std::string() : answer.substr(at);
}

}  // namespace

std::int64_t ReadContentLength(const std::string& answer) {
    std::string lower = answer;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string key = "content-length: ";
    const std::size_t at = lower.find(key);
    if (at == std::string::npos) return -1;
    const std::size_t begin = at + key.size();
    const std::size_t end = answer.find("\r\n", begin);
    if (end == std::string::npos) return -1;
    // Leading blanks and a sign are allowed, reading stops at the first other character and no
    // digits give 0. Sizes of 2 GiB and more need all 64 bits.
    const std::string value = answer.substr(begin, end - begin);
    return std::strtoll(value.c_str(), nullptr, 10);
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
