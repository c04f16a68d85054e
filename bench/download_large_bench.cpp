// One 1 GiB download over loopback from a local nginx against `curl -s -o FILE URL`: first to a
// new file, then over an existing file of the same size (the user's usual second download).
// Ratio: our time over curl's, the median of alternating pairs; goals: at most 1.1 for a new
// file, at most 0.9 over an existing one.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
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
    const std::string oursTarget = machine.HostPath("C:\\big.bin");
    const std::string curlTarget = machine.Root() + "/curl-big.bin";
    wi::bench::SilenceStatus();

    // Each run starts with the disks flushed and, for a new file, without the file of the run
    // before; the runs over an existing file find that of the run before.
    bool overwrite = false;
    const auto prepare = [&overwrite](const std::string& target) {
        if (!overwrite) std::filesystem::remove(target);
        wi::bench::FlushDisks();
    };
    const auto checked = [](const std::string& target, wi::bench::Sample sample) {
        if (std::filesystem::file_size(target) != kSize) {
            throw std::runtime_error(target + " has the wrong size");
        }
        return sample;
    };
    const auto ours = [&] {
        prepare(oursTarget);
        return checked(oursTarget, wi::bench::Timed([&] {
                           if (IWebInteractive::DownloadFile(url.c_str(), "C:\\big.bin", nullptr,
                                                             nullptr) != 1) {
                               throw std::runtime_error("our download failed");
                           }
                       }));
    };
    const auto theirs = [&] {
        prepare(curlTarget);
        return checked(curlTarget, wi::bench::ChildSample({curl, "-s", "-o", curlTarget, url}));
    };
    wi::bench::PrintPairs("download_large", "curl -o", wi::bench::Alternate(5, ours, theirs), 1.1);
    overwrite = true;
    wi::bench::PrintPairs("download_large over an existing file", "curl -o",
                          wi::bench::Alternate(5, ours, theirs), 0.9);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "download_large: %s\n", error.what());
    return 1;
}
