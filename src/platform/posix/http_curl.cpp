#include "platform/posix/http_curl.h"

#include <mutex>
#include <string>

#include "platform/http.h"

namespace wi::platform {
namespace {

std::mutex trustMutex;
std::string trustedCaFile;

}  // namespace

void SetTrustedCaFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(trustMutex);
    trustedCaFile = path;
}

namespace posix {

bool InitCurl() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return initialised;
}

void ApplyCommonOptions(CURL* easy) {
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    std::lock_guard<std::mutex> lock(trustMutex);
    if (!trustedCaFile.empty()) {
        curl_easy_setopt(easy, CURLOPT_CAINFO, trustedCaFile.c_str());
        curl_easy_setopt(easy, CURLOPT_CAPATH, nullptr);
    }
}

}  // namespace posix
}  // namespace wi::platform
