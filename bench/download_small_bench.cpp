// 100 downloads of 1 KiB files from a local nginx, one after another in one process, against one
// curl process fetching the same 100 addresses (`curl -s URL1 -o FILE1 URL2 -o FILE2 ...`, one
// connection kept for all), and against 100 curl processes (`curl -s -o FILE URL` each). Ratio:
// our time over curl's, the median of alternating pairs.
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_common.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/transfer.h"

int main() try {
    constexpr int kFiles = 100;
    constexpr int kPairs = 7;
    wi::test::TempMachine machine;
    wi::test::NginxPeer web;
    std::vector<std::string> urls;
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "small" + std::to_string(i) + ".bin";
        web.AddFile(name, std::string(1024, static_cast<char>('a' + i % 26)));
        urls.push_back(web.Url("/" + name));
    }
    const std::string curl = wi::test::FindProgram("curl");
    wi::bench::SilenceStatus();

    const auto ours = [&] {
        return wi::bench::Timed([&] {
            for (int i = 0; i < kFiles; ++i) {
                const std::string path = "C:\\small" + std::to_string(i) + ".bin";
                if (IWebInteractive::DownloadFile(urls[i].c_str(), path.c_str(), nullptr,
                                                  nullptr) != 1) {
                    throw std::runtime_error("our download failed");
                }
            }
        });
    };
    std::vector<std::string> oneProcess = {curl, "-s"};
    for (int i = 0; i < kFiles; ++i) {
        oneProcess.insert(oneProcess.end(),
                          {urls[i], "-o", machine.Root() + "/curl-" + std::to_string(i) + ".bin"});
    }
    wi::bench::PrintPairs("download_small", "one curl process",
                          wi::bench::Alternate(kPairs, ours,
                                               [&] { return wi::bench::ChildSample(oneProcess); }),
                          0.8);

    const std::string curlTarget = machine.Root() + "/curl-small.bin";
    const auto processes = [&] {
        return wi::bench::Timed([&] {
            for (int i = 0; i < kFiles; ++i) wi::bench::RunChild({curl, "-s", "-o", curlTarget, urls[i]});
        });
    };
    wi::bench::PrintPairs("download_small", "100 curl processes",
                          wi::bench::Alternate(5, ours, processes), 1.0);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "download_small: %s\n", error.what());
    return 1;
}
