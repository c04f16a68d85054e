// UploadFileList of the records of filelist_create_bench to a local nginx against building the
// same document with plain libxml2 (filelist_libxml2_peer --save) and `curl -T FILE -X POST`.
// Every side is a child process, timed from start to end. Ratio of ours over the peer, the median
// of alternating pairs; goal: at most 1.2.
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

    const std::string curl = wi::test::FindProgram("curl");
    wi::bench::PrintPairs(
        "filelist_upload", "libxml2 and curl -T",
        wi::bench::Alternate(
            5, [&] { return wi::bench::ChildSample({self, "--child", machine.Prefix(), url}); },
            [&] {
                const double build = wi::bench::RunChild({WI_FILELIST_PEER, "--save", document}).seconds;
                const double post = wi::bench::RunChild({curl, "-s", "-f", "-o", "/dev/null", "-T",
                                                         document, "-X", "POST", url})
                                        .seconds;
                return wi::bench::Sample{build + post, 0};
            }),
        1.2);
    std::printf("filelist_upload: %ju bytes\n",
                static_cast<std::uintmax_t>(std::filesystem::file_size(document)));
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "filelist_upload: %s\n", error.what());
    return 1;
}
