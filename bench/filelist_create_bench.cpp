// CreateFileListXml of 1,000 records with 100 files, 10 dependences and 10 configuration entries
// each (status lines dropped) against a plain libxml2 program that builds and serialises the same
// tree (filelist_libxml2_peer). Each runs in a child process of its own: the time is that of the
// build and serialisation alone, the peak memory that of the whole child, records included.
// Ratios of ours over the peer, the median of alternating pairs; goals: time at most 1.5, peak
// memory at most 1.2.
//
// A second line shows what the text form's status lines and log entries cost: the same tree
// saved by SaveUploadFileListXml, which has neither, against the peer saving it, both timed as
// whole processes.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bench_common.h"
#include "filelist_bench_records.h"
#include "platform/machine.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/documents.h"

namespace {

// The child: builds the document text and writes "SECONDS BYTES" to the result file.
int CreateChild(const char* prefix, const char* resultPath) {
    wi::platform::SetMachinePrefix(prefix);
    wi::bench::SilenceStatus();
    const std::list<ISoftInfoInc::_SoftInfo> softs = wi::bench::MakeBenchSoftwares();
    std::size_t bytes = 0;
    const double seconds = wi::bench::SecondsOf(
        [&] { bytes = std::strlen(IWebInteractive::CreateFileListXml(softs)); });
    std::ofstream result(resultPath);
    result << seconds << ' ' << bytes << '\n';
    return bytes > 0 && result.good() ? 0 : 1;
}

// The child of the second line: saves the upload file list to a path of the machine.
int SaveChild(const char* prefix, const char* path) {
    wi::platform::SetMachinePrefix(prefix);
    IWebInteractive::SaveUploadFileListXml(path, wi::bench::MakeBenchSoftwares());
    return 0;
}

struct Measure {
    double seconds = 0;
    std::size_t bytes = 0;
    long peakKib = 0;
};

// A child that times its own work and writes "SECONDS BYTES" to the result file.
Measure Run(const std::vector<std::string>& argv, const std::string& resultPath) {
    Measure measure;
    measure.peakKib = wi::bench::RunChild(argv).peakMemoryKib;
    std::ifstream result(resultPath);
    if (!(result >> measure.seconds >> measure.bytes)) {
        throw std::runtime_error(argv.at(0) + " wrote no result");
    }
    return measure;
}

}  // namespace

int main(int argc, char** argv) try {
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        return CreateChild(argv[2], argv[3]);
    }
    if (argc == 4 && std::strcmp(argv[1], "--save-child") == 0) {
        return SaveChild(argv[2], argv[3]);
    }
    wi::test::TempMachine machine;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string oursText = machine.Root() + "/ours.txt";
    const std::string theirsText = machine.Root() + "/theirs.txt";
    std::size_t oursBytes = 0, theirsBytes = 0;
    const auto sample = [](const Measure& measure) {
        return wi::bench::Sample{measure.seconds, measure.peakKib};
    };
    const wi::bench::Pairs built = wi::bench::Alternate(
        5,
        [&] {
            const Measure ours = Run({self, "--child", machine.Prefix(), oursText}, oursText);
            oursBytes = ours.bytes;
            return sample(ours);
        },
        [&] {
            const Measure theirs = Run({WI_FILELIST_PEER, "--text", theirsText}, theirsText);
            theirsBytes = theirs.bytes;
            return sample(theirs);
        });
    // The two texts differ only in their declarations and the empty-element form.
    if (oursBytes < theirsBytes * 95 / 100 || oursBytes > theirsBytes * 105 / 100) {
        throw std::runtime_error("the documents differ: ours " + std::to_string(oursBytes) +
                                 " bytes, libxml2's " + std::to_string(theirsBytes));
    }
    std::printf("filelist_create: %zu bytes\n", oursBytes);
    wi::bench::PrintPairs("filelist_create", "libxml2", built, 1.5, 1.2);

    wi::bench::PrintPairs(
        "filelist_create without status lines and log (SaveUploadFileListXml, whole processes)",
        "libxml2 saving",
        wi::bench::Alternate(
            5,
            [&] {
                return wi::bench::ChildSample({self, "--save-child", machine.Prefix(), "C:\\ours.xml"});
            },
            [&] {
                return wi::bench::ChildSample(
                    {WI_FILELIST_PEER, "--save", machine.HostPath("C:\\theirs.xml")});
            }),
        1.5, 1.2);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "filelist_create: %s\n", error.what());
    return 1;
}
