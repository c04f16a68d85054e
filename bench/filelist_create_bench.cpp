// CreateFileListXml of 1,000 records with 100 files, 10 dependences and 10 configuration entries
// each (status lines dropped) against a plain libxml2 program that builds and serialises the same
// tree (filelist_libxml2_peer). Each runs in a child process of its own: the time is that of the
// build and serialisation alone, the peak memory that of the whole child, records included.
// Goals: time ratio at most 1.5, peak memory ratio at most 1.2.
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

double Ratio(double ours, double theirs) { return ours / theirs; }

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
    const Measure ours = Run({self, "--child", machine.Prefix(), machine.Root() + "/ours.txt"},
                             machine.Root() + "/ours.txt");
    const Measure theirs = Run({WI_FILELIST_PEER, "--text", machine.Root() + "/theirs.txt"},
                               machine.Root() + "/theirs.txt");
    // The two texts differ only in their declarations and the empty-element form.
    if (ours.bytes < theirs.bytes * 95 / 100 || ours.bytes > theirs.bytes * 105 / 100) {
        throw std::runtime_error("the documents differ: ours " + std::to_string(ours.bytes) +
                                 " bytes, libxml2's " + std::to_string(theirs.bytes));
    }
    std::printf("filelist_create: ours %.3f s, libxml2 %.3f s, ratio %.3f (goal <= 1.5); "
                "%zu bytes\n",
                ours.seconds, theirs.seconds, Ratio(ours.seconds, theirs.seconds), ours.bytes);
    std::printf("filelist_create: peak memory ours %ld KiB, libxml2 %ld KiB, ratio %.3f "
                "(goal <= 1.2)\n",
                ours.peakKib, theirs.peakKib, Ratio(ours.peakKib, theirs.peakKib));

    const wi::test::ProgramRun saved =
        wi::bench::RunChild({self, "--save-child", machine.Prefix(), "C:\\ours.xml"});
    const wi::test::ProgramRun peerSaved =
        wi::bench::RunChild({WI_FILELIST_PEER, "--save", machine.HostPath("C:\\theirs.xml")});
    std::printf("filelist_create: without status lines and log (SaveUploadFileListXml against "
                "the peer saving), whole processes: ours %.3f s, %ld KiB; libxml2 %.3f s, "
                "%ld KiB; ratios %.3f and %.3f\n",
                saved.seconds, saved.peakMemoryKib, peerSaved.seconds, peerSaved.peakMemoryKib,
                Ratio(saved.seconds, peerSaved.seconds),
                Ratio(saved.peakMemoryKib, peerSaved.peakMemoryKib));
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "filelist_create: %s\n", error.what());
    return 1;
}
