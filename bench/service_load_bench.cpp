// The reference service under load against nginx doing the same work: 50 clients downloading
// 4 KiB files (kDownloadsPerClient each, one kept-alive connection per client) while 10 clients
// upload 10 MiB files (kUploadsPerClient each), every body kept as a file by the server.
// Prints, for each server, the requests per second of each kind and the peak memory of its
// processes (VmHWM; nginx's master and worker summed), five runs each, alternating; then the
// median ratios of the service's times (and memory) over nginx's. Every
// request must succeed (status 200, the whole file, the reply "TRUE"): failed requests are counted
// and printed, and any makes the benchmark fail.
#include <curl/curl.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_common.h"
#include "service_peer/service_peer.h"
#include "support/peers.h"

namespace {

constexpr int kDownloadClients = 50;
constexpr int kDownloadsPerClient = 200;
constexpr int kUploadClients = 10;
constexpr int kUploadsPerClient = 3;
constexpr int kFiles = 100;
constexpr std::size_t kFileSize = 4096;
constexpr std::size_t kDocumentSize = 10u << 20;

using Clock = std::chrono::steady_clock;

// What one server is asked: where its small files are and where documents go.
struct Target {
    std::string name;
    std::string fileUrl;  // followed by the file's number
    std::string uploadUrl;
};

struct Outcome {
    double downloadSeconds = 0;  // from the start until the last download ended
    double uploadSeconds = 0;
    int downloads = 0;
    int uploads = 0;
    int failed = 0;
    long peakKib = 0;
};

// One client: an easy handle that makes its requests one after another.
struct Client {
    CURL* easy = nullptr;
    bool upload = false;
    int index = 0;
    int done = 0;
    std::size_t received = 0;
    std::string head;  // the first bytes of the answer
};

std::size_t Receive(char* data, std::size_t size, std::size_t count, void* user) {
    auto* client = static_cast<Client*>(user);
    const std::size_t bytes = size * count;
    client->received += bytes;
    if (client->head.size() < 16) client->head.append(data, std::min<std::size_t>(bytes, 16));
    return bytes;
}

void Prepare(Client& client, const Target& target) {
    client.received = 0;
    client.head.clear();
    if (client.upload) {
        curl_easy_setopt(client.easy, CURLOPT_URL, target.uploadUrl.c_str());
    } else {
        const int file = (client.index * 7 + client.done) % kFiles;
        curl_easy_setopt(client.easy, CURLOPT_URL, (target.fileUrl + std::to_string(file)).c_str());
    }
}

// Whether a request got its whole answer; the first few failures are printed.
bool Succeeded(const Target& target, Client& client, CURLcode result, int failedBefore) {
    long status = 0;
    curl_easy_getinfo(client.easy, CURLINFO_RESPONSE_CODE, &status);
    const bool whole = client.upload ? client.head == "TRUE" : client.received == kFileSize;
    if (result == CURLE_OK && status == 200 && whole) return true;
    if (failedBefore < 5) {
        const char* url = "";
        curl_easy_getinfo(client.easy, CURLINFO_EFFECTIVE_URL, &url);
        std::printf("service_load: %s: %s failed: %s, status %ld, %zu bytes\n", target.name.c_str(),
                    url, curl_easy_strerror(result), status, client.received);
    }
    return false;
}

// Runs every client against the server at once until each has made all its requests.
Outcome RunLoad(const Target& target, const std::string& document) {
    CURLM* multi = curl_multi_init();
    // Every client keeps its connection between its requests.
    curl_multi_setopt(multi, CURLMOPT_MAXCONNECTS,
                      static_cast<long>(2 * (kDownloadClients + kUploadClients)));
    // As the library posts: the body at once (no "Expect: 100-continue"), no Content-Type.
    curl_slist* uploadHeaders = curl_slist_append(nullptr, "Expect:");
    uploadHeaders = curl_slist_append(uploadHeaders, "Content-Type:");
    std::vector<Client> clients(kDownloadClients + kUploadClients);
    for (std::size_t i = 0; i < clients.size(); ++i) {
        Client& client = clients[i];
        client.index = static_cast<int>(i);
        client.upload = i >= kDownloadClients;
        client.easy = curl_easy_init();
        curl_easy_setopt(client.easy, CURLOPT_WRITEFUNCTION, Receive);
        curl_easy_setopt(client.easy, CURLOPT_WRITEDATA, &client);
        curl_easy_setopt(client.easy, CURLOPT_PRIVATE, &client);
        curl_easy_setopt(client.easy, CURLOPT_TIMEOUT, 120L);  // no request waits for ever
        if (client.upload) {
            curl_easy_setopt(client.easy, CURLOPT_POSTFIELDS, document.data());
            curl_easy_setopt(client.easy, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(document.size()));
            curl_easy_setopt(client.easy, CURLOPT_HTTPHEADER, uploadHeaders);
        }
        Prepare(client, target);
        curl_multi_add_handle(multi, client.easy);
    }

    Outcome outcome;
    const auto start = Clock::now();
    const auto since = [start] {
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    for (int running = 1; running > 0;) {
        curl_multi_perform(multi, &running);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg != CURLMSG_DONE) continue;
            Client* client = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &client);
            outcome.failed +=
                Succeeded(target, *client, message->data.result, outcome.failed) ? 0 : 1;
            ++client->done;
            (client->upload ? outcome.uploads : outcome.downloads) += 1;
            (client->upload ? outcome.uploadSeconds : outcome.downloadSeconds) = since();
            curl_multi_remove_handle(multi, client->easy);
            if (client->done < (client->upload ? kUploadsPerClient : kDownloadsPerClient)) {
                Prepare(*client, target);
                curl_multi_add_handle(multi, client->easy);
                running = 1;
            }
        }
        if (running > 0) curl_multi_poll(multi, nullptr, 0, 100, nullptr);
    }
    for (Client& client : clients) curl_easy_cleanup(client.easy);
    curl_slist_free_all(uploadHeaders);
    curl_multi_cleanup(multi);
    return outcome;
}

// The largest resident set each process of the group has had, summed.
long GroupPeakKib(int group) {
    long total = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        const auto close = line.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int parent = 0, processGroup = 0;
        const int fields =
            std::sscanf(line.c_str() + close + 1, " %c %d %d", &state, &parent, &processGroup);
        if (fields != 3 || processGroup != group) continue;
        std::ifstream status(entry.path() / "status");
        for (std::string field; std::getline(status, field);) {
            if (field.rfind("VmHWM:", 0) == 0) total += std::stol(field.substr(6));
        }
    }
    return total;
}

// Uploads answered but not kept as files count as failed too.
int MissingBodies(std::ptrdiff_t kept) {
    const int expected = kUploadClients * kUploadsPerClient;
    return kept < expected ? expected - static_cast<int>(kept) : 0;
}


void Print(const Target& target, const Outcome& outcome) {
    std::printf(
        "service_load: %-7s downloads %6.0f req/s (%d in %.2f s), uploads %5.1f req/s "
        "(%d of 10 MiB in %.2f s), peak memory %ld KiB, failed requests %d\n",
        target.name.c_str(), outcome.downloads / outcome.downloadSeconds, outcome.downloads,
        outcome.downloadSeconds, outcome.uploads / outcome.uploadSeconds, outcome.uploads,
        outcome.uploadSeconds, outcome.peakKib, outcome.failed);
    std::fflush(stdout);
}

}  // namespace

int main() try {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::string file(kFileSize, '\0');
    for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<char>('a' + i % 26);
    std::string document(kDocumentSize, '\0');
    for (std::size_t i = 0; i < document.size(); ++i) {
        document[i] = static_cast<char>((i * 131) ^ (i >> 9));
    }

    // Each server starts afresh for every run; the runs alternate, as the pairs of the other
    // benchmarks do.
    wi::bench::Pairs downloads, uploads;
    int failed = 0;
    const auto record = [&](const Target& target, const Outcome& outcome, bool ours) {
        Print(target, outcome);
        failed += outcome.failed;
        const wi::bench::Sample download{outcome.downloadSeconds, outcome.peakKib};
        const wi::bench::Sample upload{outcome.uploadSeconds, 0};
        (ours ? downloads.ours : downloads.peer).push_back(download);
        (ours ? uploads.ours : uploads.peer).push_back(upload);
    };
    const auto service = [&] {
        wi::test::ServicePeer peer;
        for (int i = 0; i < kFiles; ++i) peer.AddFile("files/small/" + std::to_string(i), file);
        // Software files: the service keeps them as they come (documents it reads first).
        const Target target{"service", peer.Url("/files/small/"), peer.Url("/upload/softfile")};
        Outcome outcome = RunLoad(target, document);
        outcome.peakKib = GroupPeakKib(peer.ProcessGroupId());
        outcome.failed += MissingBodies(peer.Uploads("softfile").size());
        record(target, outcome, true);
    };
    const auto nginx = [&] {
        wi::test::NginxPeer peer;
        for (int i = 0; i < kFiles; ++i) peer.AddFile("small/" + std::to_string(i), file);
        const Target target{"nginx", peer.Url("/small/"), peer.Url("/upload-kept")};
        Outcome outcome = RunLoad(target, document);
        outcome.peakKib = GroupPeakKib(peer.ProcessGroupId());
        outcome.failed += MissingBodies(
            std::distance(std::filesystem::directory_iterator(peer.UploadsDirectory()),
                          std::filesystem::directory_iterator()));
        record(target, outcome, false);
    };
    wi::bench::InTurn(5, service, nginx);
    // The same number of requests on both sides: the time ratio is nginx's rate over ours.
    wi::bench::PrintPairs("service_load downloads (and peak memory)", "nginx", downloads, 0);
    wi::bench::PrintPairs("service_load uploads", "nginx", uploads, 0);
    std::printf("service_load: failed requests %d (goal 0)\n", failed);
    curl_global_cleanup();
    return failed == 0 ? 0 : 1;
} catch (const std::exception& error) {
    std::fprintf(stderr, "service_load: %s\n", error.what());
    return 1;
}
