// One upload of (almost) 1 GiB to a local nginx against `curl --data-binary @FILE`. The ratio is
// our throughput over curl's (goal: at least 0.9); our peak memory must stay under 64 MiB. Both
// sides run as child processes so that their peak memory can be read.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "bench_common.h"
#include "platform/machine.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/transfer.h"

namespace {

// The child: uploads one file of the given machine and exits 0 on a "TRUE" reply.
int UploadChild(const char* prefix, const char* url, const char* path) {
    wi::platform::SetMachinePrefix(prefix);
    wi::bench::SilenceStatus();
    char reply[1024] = {};
    const int result = IWebInteractive::UploadFile(url, path, reply, nullptr, nullptr);
    return result == 1 && std::strcmp(reply, "TRUE") == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) try {
    if (argc == 5 && std::strcmp(argv[1], "--child") == 0) {
        return UploadChild(argv[2], argv[3], argv[4]);
    }
    // The curl program loads a --data-binary file into memory and refuses one of 1 GiB or more,
    // so both sides send 1 GiB less one MiB.
    constexpr std::uint64_t kSize = (1ull << 30) - (1ull << 20);
    constexpr long kMemoryGoalKib = 64 * 1024;
    wi::test::TempMachine machine;
    wi::test::NginxPeer web;
    const std::string hostFile = machine.HostPath("C:\\big.bin");
    wi::bench::WritePatternFile(hostFile, kSize);
    const std::string url = web.Url("/discard");
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();

    const wi::test::ProgramRun ours =
        wi::test::RunProgram({self, "--child", machine.Prefix(), url, "C:\\big.bin"});
    const wi::test::ProgramRun theirs = wi::test::RunProgram(
        {wi::test::FindProgram("curl"), "-s", "-o", "/dev/null", "--data-binary", "@" + hostFile,
         url});
    std::filesystem::remove(hostFile);
    if (ours.exitCode != 0 || theirs.exitCode != 0) {
        throw std::runtime_error("an upload failed: ours exited " + std::to_string(ours.exitCode) +
                                 ", curl " + std::to_string(theirs.exitCode));
    }
    wi::bench::PrintRatio("upload_large", ours.seconds, theirs.seconds,
                          theirs.seconds / ours.seconds, ">= 0.9");
    std::printf("upload_large: our peak memory %ld KiB (goal < %ld KiB: %s), curl's %ld KiB\n",
                ours.peakMemoryKib, kMemoryGoalKib,
                ours.peakMemoryKib < kMemoryGoalKib ? "met" : "MISSED", theirs.peakMemoryKib);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "upload_large: %s\n", error.what());
    return 1;
}
