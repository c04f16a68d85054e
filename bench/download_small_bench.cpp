// 100 downloads of 1 KiB files from a local nginx, one after another, against two curl peers:
// 100 runs of `curl -s -o FILE URL` (a process and a connection per file), and one curl process
// fetching the same 100 addresses (`curl -s URL1 -o FILE1 URL2 -o FILE2 ...`, one connection kept
// for all). The ratio is our time over curl's; goal for both: no slower (<= 1.0). Against the one
// process, each side's best of five rounds counts.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "bench_common.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/transfer.h"

int main() try {
    constexpr int kRuns = 100;
    wi::test::TempMachine machine;
    wi::test::NginxPeer web;
    std::vector<std::string> urls;
    for (int i = 0; i < kRuns; ++i) {
        const std::string name = "small" + std::to_string(i) + ".bin";
        web.AddFile(name, std::string(1024, static_cast<char>('a' + i % 26)));
        urls.push_back(web.Url("/" + name));
    }
    const std::string curl = wi::test::FindProgram("curl");
    const std::string curlTarget = machine.Root() + "/curl-small.bin";
    wi::bench::SilenceStatus();

    const auto ours = [&] {
        return wi::bench::SecondsOf([&] {
            for (int i = 0; i < kRuns; ++i) {
                const std::string path = "C:\\small" + std::to_string(i) + ".bin";
                if (IWebInteractive::DownloadFile(urls[i].c_str(), path.c_str(), nullptr,
                                                  nullptr) != 1) {
                    throw std::runtime_error("our download failed");
                }
            }
        });
    };
    const double oursFirst = ours();
    const double processes = wi::bench::SecondsOf([&] {
        for (int i = 0; i < kRuns; ++i) {
            if (wi::test::RunProgram({curl, "-s", "-o", curlTarget, urls[i]}).exitCode != 0) {
                throw std::runtime_error("curl failed");
            }
        }
    });
    wi::bench::PrintRatio("download_small", oursFirst, processes, oursFirst / processes, "<= 1.0");

    std::vector<std::string> oneProcess = {curl, "-s"};
    for (int i = 0; i < kRuns; ++i) {
        oneProcess.insert(oneProcess.end(),
                          {urls[i], "-o", machine.Root() + "/curl-" + std::to_string(i) + ".bin"});
    }
    // The machine is shared and the work short: each side's best of five rounds, taken in turn.
    double oursBest = 1e9, singleBest = 1e9;
    for (int round = 0; round < 5; ++round) {
        oursBest = std::min(oursBest, ours());
        singleBest = std::min(singleBest, wi::bench::SecondsOf([&] {
                                  if (wi::test::RunProgram(oneProcess).exitCode != 0) {
                                      throw std::runtime_error("curl failed");
                                  }
                              }));
    }
    wi::bench::PrintRatio("download_small (one curl process, 100 addresses)", oursBest, singleBest,
                          oursBest / singleBest, "<= 1.0");
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "download_small: %s\n", error.what());
    return 1;
}
