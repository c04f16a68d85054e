// One 1 GiB download over loopback from a local nginx against `curl -s -o FILE URL`. The ratio is
// our throughput over curl's; goal: at least 0.9.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "bench_common.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/transfer.h"

int main() try {
    constexpr std::uint64_t kSize = 1ull << 30;
    wi::test::TempMachine machine;
    wi::test::NginxPeer web;
    wi::bench::WritePatternFile(web.Root() + "/big.bin", kSize);
    const std::string url = web.Url("/big.bin");
    const std::string curl = wi::test::FindProgram("curl");
    const std::string curlTarget = machine.Root() + "/curl-big.bin";
    wi::bench::SilenceStatus();

    // Best of two runs each, alternating, so that neither side inherits the other's cache state.
    double ours = 1e9;
    double theirs = 1e9;
    for (int round = 0; round < 2; ++round) {
        wi::bench::FlushDisks();
        ours = std::min(ours, wi::bench::SecondsOf([&] {
            if (IWebInteractive::DownloadFile(url.c_str(), "C:\\big.bin", nullptr, nullptr) != 1) {
                throw std::runtime_error("our download failed");
            }
        }));
        if (std::filesystem::file_size(machine.HostPath("C:\\big.bin")) != kSize) {
            throw std::runtime_error("our download has the wrong size");
        }
        std::filesystem::remove(machine.HostPath("C:\\big.bin"));
        wi::bench::FlushDisks();
        const wi::test::ProgramRun run = wi::test::RunProgram({curl, "-s", "-o", curlTarget, url});
        if (run.exitCode != 0) {
            throw std::runtime_error("curl failed");
        }
        theirs = std::min(theirs, run.seconds);
        std::filesystem::remove(curlTarget);
    }
    wi::bench::PrintRatio("download_large", ours, theirs, theirs / ours, ">= 0.9");
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "download_large: %s\n", error.what());
    return 1;
}
