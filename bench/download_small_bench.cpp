// 100 downloads of a 1 KiB file from a local nginx, one after another, against 100 runs of
// `curl -s -o FILE URL`. The ratio is our time over curl's; goal: no slower (<= 1.0).
#include <cstdio>
#include <exception>
#include <string>

#include "bench_common.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/transfer.h"

int main() try {
    constexpr int kRuns = 100;
    wi::test::TempMachine machine;
    wi::test::NginxPeer web;
    web.AddFile("small.bin", std::string(1024, 's'));
    const std::string url = web.Url("/small.bin");
    const std::string curl = wi::test::FindProgram("curl");
    const std::string curlTarget = machine.Root() + "/curl-small.bin";
    wi::bench::SilenceStatus();

    const double ours = wi::bench::SecondsOf([&] {
        for (int i = 0; i < kRuns; ++i) {
            if (IWebInteractive::DownloadFile(url.c_str(), "C:\\small.bin", nullptr, nullptr) !=
                1) {
                throw std::runtime_error("our download failed");
            }
        }
    });
    const double theirs = wi::bench::SecondsOf([&] {
        for (int i = 0; i < kRuns; ++i) {
            if (wi::test::RunProgram({curl, "-s", "-o", curlTarget, url}).exitCode != 0) {
                throw std::runtime_error("curl failed");
            }
        }
    });
    wi::bench::PrintRatio("download_small", ours, theirs, ours / theirs, "<= 1.0");
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "download_small: %s\n", error.what());
    return 1;
}
