// UploadFileList of the records of filelist_create_bench to a local nginx against building the
// same document with plain libxml2 (filelist_libxml2_peer --save) and `curl -T FILE -X POST`.
// Every side is a child process, timed from start to end. Goal: ratio at most 1.2.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "bench_common.h"
#include "filelist_bench_records.h"
#include "platform/machine.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/documents.h"

namespace {

int UploadChild(const char* prefix, const char* url) {
    wi::platform::SetMachinePrefix(prefix);
    wi::bench::SilenceStatus();
    return IWebInteractive::UploadFileList(url, wi::bench::MakeBenchSoftwares()) == 1 ? 0 : 1;
}

double Seconds(const std::vector<std::string>& argv) {
    const wi::test::ProgramRun run = wi::test::RunProgram(argv);
    if (run.exitCode != 0) {
        throw std::runtime_error(argv.at(0) + " failed with exit code " +
                                 std::to_string(run.exitCode));
    }
    return run.seconds;
}

}  // namespace

int main(int argc, char** argv) try {
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        return UploadChild(argv[2], argv[3]);
    }
    wi::test::TempMachine machine;
    wi::test::NginxPeer web;
    const std::string url = web.Url("/discard");
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string document = machine.Root() + "/filelist.xml";

    const double ours = Seconds({self, "--child", machine.Prefix(), url});
    const double build = Seconds({WI_FILELIST_PEER, "--save", document});
    const double post = Seconds({wi::test::FindProgram("curl"), "-s", "-f", "-o", "/dev/null",
                                 "-T", document, "-X", "POST", url});
    const double theirs = build + post;
    std::printf("filelist_upload: ours %.3f s, libxml2 and curl %.3f s (%.3f s + %.3f s), "
                "ratio %.3f (goal <= 1.2); %ju bytes\n",
                ours, theirs, build, post, ours / theirs,
                static_cast<std::uintmax_t>(std::filesystem::file_size(document)));
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "filelist_upload: %s\n", error.what());
    return 1;
}
