// Protecting a software of 10,000 files (1 GiB in 1,000 directories) on a machine with two
// drives, against `cp -a` of the same tree; then cleaning that protection, against `rm -rf` of
// the copy. Goal for both ratios (our time over the peer's): at most 2.
#include <cstdio>
#include <exception>
#include <filesystem>
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

void Print(const char* name, const char* peer, double ours, double theirs) {
    std::printf("%s: ours %.3f s, %s %.3f s, ratio %.3f (goal <= 2: %s)\n", name, ours, peer,
                theirs, ours / theirs, ours / theirs <= 2 ? "met" : "MISSED");
    std::fflush(stdout);
}

}  // namespace

int main() try {
    wi::bench::SilenceStatus();
    wi::test::TempMachine machine;  // drives C: and D:
    IWebInteractive::Init("<Config/>");
    const ISoftInfoInc::_SoftInfo soft = MakeSoftware(machine);
    const std::string source = machine.HostPath("C:\\Soft");
    const std::string copy = machine.HostPath("D:\\") + "/copy";

    wi::bench::FlushDisks();
    int protectedResult = 0;
    const double protect = wi::bench::SecondsOf(
        [&] { protectedResult = IWebInteractive::ProtectFilesToLocal(soft, nullptr); });
    wi::bench::FlushDisks();
    const wi::test::ProgramRun cp =
        wi::test::RunProgram({wi::test::FindProgram("cp"), "-a", source, copy});
    if (protectedResult != 1 || cp.exitCode != 0) {
        throw std::runtime_error("a copy failed: ours answered " + std::to_string(protectedResult) +
                                 ", cp exited " + std::to_string(cp.exitCode));
    }
    Print("protect", "cp -a", protect, cp.seconds);

    wi::bench::FlushDisks();
    int cleaned = 0;
    const double clean = wi::bench::SecondsOf(
        [&] { cleaned = IWebInteractive::CleanProtectSoftware(soft.GUID.c_str()); });
    wi::bench::FlushDisks();
    const wi::test::ProgramRun rm = wi::test::RunProgram({wi::test::FindProgram("rm"), "-rf", copy});
    if (cleaned != 1 || rm.exitCode != 0) {
        throw std::runtime_error("a removal failed");
    }
    Print("clean", "rm -rf", clean, rm.seconds);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "protect_bench: %s\n", error.what());
    return 1;
}
