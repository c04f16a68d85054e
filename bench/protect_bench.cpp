// Protecting a software of 10,000 files (1 GiB in 1,000 directories) on a machine with two
// drives, against `cp -a` of the same tree; then cleaning that protection, against `rm -rf` of
// the copy. Each round protects and cleans, and copies and removes, ours first in even rounds and
// the peer first in odd ones, every run after the disks were flushed (no side drops caches).
// Ratios of our time over the peer's, the median of the rounds; goals: at most 1.1 for both.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "bench_common.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/frame.h"
#include "webinteractive/records.h"
#include "webinteractive/store.h"

namespace {

constexpr int kDirectories = 1000;
constexpr int kFilesPerDirectory = 10;
constexpr std::uint64_t kFileSize = (1ull << 30) / (kDirectories * kFilesPerDirectory);

// The tree below C:\Soft, and the software whose files it holds.
ISoftInfoInc::_SoftInfo MakeSoftware(const wi::test::TempMachine& machine) {
    ISoftInfoInc::_SoftInfo soft;
    soft.GUID = "{BENCH}";
    soft.Version = "1";
    soft.SetupPath = "C:\\Soft";
    for (int d = 0; d < kDirectories; ++d) {
        const std::string directory = "C:\\Soft\\d" + std::to_string(d);
        std::filesystem::create_directories(machine.HostPath(directory));
        for (int f = 0; f < kFilesPerDirectory; ++f) {
            const std::string path = directory + "\\f" + std::to_string(f) + ".bin";
            wi::bench::WritePatternFile(machine.HostPath(path), kFileSize);
            IFileInfoInc::_FileInfo file;
            file.SId = std::to_string(d * kFilesPerDirectory + f);
            file.SetupPath = path;
            file.LocalPath = path;
            soft.files.insert(file);
        }
    }
    return soft;
}

}  // namespace

int main() try {
    wi::bench::SilenceStatus();
    wi::test::TempMachine machine;  // drives C: and D:
    IWebInteractive::Init("<Config/>");
    const ISoftInfoInc::_SoftInfo soft = MakeSoftware(machine);
    const std::string source = machine.HostPath("C:\\Soft");
    const std::string copy = machine.HostPath("D:\\") + "/copy";

    const auto flushedRun = [](const std::function<void()>& work) {
        wi::bench::FlushDisks();
        return wi::bench::Timed(work);
    };
    wi::bench::Pairs protect, clean;
    const auto ours = [&] {
        protect.ours.push_back(flushedRun([&] {
            if (IWebInteractive::ProtectFilesToLocal(soft, nullptr) != 1) {
                throw std::runtime_error("our protection failed");
            }
        }));
        clean.ours.push_back(flushedRun([&] {
            if (IWebInteractive::CleanProtectSoftware(soft.GUID.c_str()) != 1) {
                throw std::runtime_error("our cleaning failed");
            }
        }));
    };
    const auto theirs = [&] {
        protect.peer.push_back(
            flushedRun([&] { wi::bench::RunChild({wi::test::FindProgram("cp"), "-a", source, copy}); }));
        clean.peer.push_back(
            flushedRun([&] { wi::bench::RunChild({wi::test::FindProgram("rm"), "-rf", copy}); }));
    };
    wi::bench::InTurn(5, ours, theirs);
    wi::bench::PrintPairs("protect", "cp -a", protect, 1.1);
    wi::bench::PrintPairs("clean", "rm -rf", clean, 1.1);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "protect_bench: %s\n", error.what());
    return 1;
}
