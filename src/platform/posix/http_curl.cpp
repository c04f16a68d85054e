#include "platform/posix/http_curl.h"

#include <cstddef>
#include <mutex>
#include <string>

#include "platform/http.h"

namespace wi::platform {
namespace {

std::mutex trustMutex;
std::string trustedCaFile;

// The process's share of connections and name lookups. libcurl asks for a lock per kind of data;
// each kind gets a mutex of its own.
class ConnectionShare {
public:
    ConnectionShare() : share_(curl_share_init()) {
        if (share_ == nullptr) return;
        const bool ok =
            curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &ConnectionShare::Lock) == CURLSHE_OK &&
            curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &ConnectionShare::Unlock) ==
                CURLSHE_OK &&
            curl_share_setopt(share_, CURLSHOPT_USERDATA, this) == CURLSHE_OK &&
            curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT) == CURLSHE_OK &&
            curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) == CURLSHE_OK;
        if (!ok) {
            curl_share_cleanup(share_);
            share_ = nullptr;
        }
    }
    CURLSH* get() const { return share_; }

private:
    static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* context) {
        static_cast<ConnectionShare*>(context)->MutexOf(data).lock();
    }
    static void Unlock(CURL*, curl_lock_data data, void* context) {
        static_cast<ConnectionShare*>(context)->MutexOf(data).unlock();
    }
    std::mutex& MutexOf(curl_lock_data data) {
        const auto index = static_cast<std::size_t>(data);
        return mutexes_[index < kKinds ? index : 0];
    }

    static constexpr std::size_t kKinds = CURL_LOCK_DATA_LAST;
    CURLSH* share_;
    std::mutex mutexes_[kKinds];
};

void FreeHandles(posix::DownloadHandles& handles) {
    if (handles.multi != nullptr) curl_multi_cleanup(handles.multi);
    if (handles.easy != nullptr) curl_easy_cleanup(handles.easy);
    handles = {};
}

// The handles a thread keeps between its downloads, freed when the thread ends (for the main
// thread at exit, while libcurl is still initialised: this library never ends its use of it).
struct KeptHandles {
    posix::DownloadHandles handles;
    ~KeptHandles() { FreeHandles(handles); }
};
thread_local KeptHandles keptHandles;

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

bool UseSharedConnections(CURL* easy) {
    if (!InitCurl()) return false;
    // Made once and never freed: transfers on other threads may still hold it while the process
    // ends, and the connections it keeps are closed with the process.
    static ConnectionShare* const share = new ConnectionShare();
    return share->get() != nullptr &&
           curl_easy_setopt(easy, CURLOPT_SHARE, share->get()) == CURLE_OK;
}

bool TakeDownloadHandles(DownloadHandles& handles) {
    handles = keptHandles.handles;
    keptHandles.handles = {};
    if (handles.easy != nullptr) {
        // Back to the defaults; the connections stay in the shared cache.
        curl_easy_reset(handles.easy);
        return true;
    }
    handles.easy = curl_easy_init();
    handles.multi = curl_multi_init();
    if (handles.easy == nullptr || handles.multi == nullptr) {
        FreeHandles(handles);
        return false;
    }
    return true;
}

void KeepDownloadHandles(DownloadHandles& handles) {
    if (keptHandles.handles.easy == nullptr) {
        keptHandles.handles = handles;
        handles = {};
    } else {
        FreeHandles(handles);
    }
}

}  // namespace posix
}  // namespace wi::platform
