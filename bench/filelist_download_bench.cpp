// DownloadFileList of a file list document with 200 versions of 500 files each (100,000 files,
// GB2312, every element of the file table filled) from a local nginx, against `xmllint --noout`
// parsing the same file. Each side runs as a child process of its own, timed from start to end,
// its peak memory taken from its resource usage: ours includes the download, the parse into the
// records and the removal of the temporary document; xmllint's the parse into its tree.
// Ratios of ours over xmllint, the median of alternating pairs; goals: time at most 1.2, peak
// memory at most 0.5.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bench_common.h"
#include "platform/machine.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/lists.h"

namespace {

constexpr int kVersions = 200;
constexpr int kFilesPerVersion = 500;
// "金山" and "词典" in GB2312.
constexpr const char* kKingsoft = "\xbd\xf0\xc9\xbd";
constexpr const char* kDictionary = "\xb4\xca\xb5\xe4";

void WriteDocument(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<softwares><software><BaseInfo><Name>"
        << kKingsoft << "</Name><Type>1</Type><Vendor>" << kKingsoft
        << "</Vendor><locked>1</locked><is_protected>0</is_protected><pn_name>bench</pn_name>"
           "</BaseInfo>\n";
    char file[2048];
    for (int version = 0; version < kVersions; ++version) {
        out << "<Version><VersionInfo><GUID>{BENCH-" << version << "}</GUID><Version>" << version
            << ".0</Version><SetupPath>C:\\Program Files\\" << kKingsoft << "\\" << version
            << "</SetupPath><WindowsVersion>5</WindowsVersion><Size>" << 5000000000LL + version
            << "</Size><special_code>SC</special_code><pn_version>" << version
            << "</pn_version><OSCode>XP</OSCode></VersionInfo>\n<FileList>\n";
        for (int n = 0; n < kFilesPerVersion; ++n) {
            std::snprintf(
                file, sizeof file,
                "<file><Name>%s%04d.dll</Name><FID>F%03d-%04d</FID>"
                "<SetupPath>C:\\Program Files\\%s\\%d\\%s%04d.dll</SetupPath><Type>1</Type>"
                "<ProductName>%s</ProductName><ProductVersion>%d.0</ProductVersion>"
                "<InsideName>inside%04d</InsideName><OriginalName>original%04d.dll</OriginalName>"
                "<CreateDate>2024-01-01 10:00:00</CreateDate>"
                "<ModifyDate>2024-01-02 10:00:00</ModifyDate>"
                "<AccessDate>2024-01-03 10:00:00</AccessDate><Description>%s %04d</Description>"
                "<CharacterCode>%032d</CharacterCode><Category>2</Category>"
                "<file_version>%d.0.0.%d</file_version><company_name>%s</company_name>"
                "<copy_right>(C) %s</copy_right><language>2052</language>"
                "<analyse_result>1</analyse_result><Component>0</Component><delFlag>0</delFlag>"
                "<analyseFlag>1</analyseFlag></file>\n",
                kDictionary, n, version, n, kKingsoft, version, kDictionary, n, kKingsoft,
                version, n, n, kDictionary, n, version * 10000 + n, version, n, kKingsoft,
                kKingsoft);
            out << file;
        }
        out << "</FileList><Dependence><dep><Name>msvcrt.dll</Name><SetupPath>C:\\Windows\\"
               "msvcrt.dll</SetupPath><delflag>0</delflag></dep></Dependence><Configration>"
               "<cfg><Key>HKLM\\Software\\bench</Key><Value>"
            << version << "</Value><Type>1</Type></cfg></Configration></Version>\n";
    }
    out << "</software></softwares>\n";
    if (!out) throw std::runtime_error("cannot write " + path);
}

// The child: downloads and reads the list, and fails unless every file arrived.
int DownloadChild(const char* prefix, const char* url) {
    wi::platform::SetMachinePrefix(prefix);
    wi::bench::SilenceStatus();
    int locked = 0;
    const std::list<ISoftInfoInc::_SoftInfo>& softs =
        IWebInteractive::DownloadFileList(url, "{BENCH}", "SC", "1", locked, nullptr);
    std::size_t files = 0;
    for (const ISoftInfoInc::_SoftInfo& soft : softs) files += soft.files.size();
    return softs.size() == kVersions && files == std::size_t{kVersions} * kFilesPerVersion &&
                   locked == 1
               ? 0
               : 1;
}

}  // namespace

int main(int argc, char** argv) try {
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        return DownloadChild(argv[2], argv[3]);
    }
    wi::test::TempMachine machine;
    wi::test::NginxPeer web;
    const std::string document = web.Root() + "/list.xml";
    WriteDocument(document);
    const auto bytes = std::filesystem::file_size(document);
    wi::bench::FlushDisks();
    std::printf("filelist_download: %d files, %ju bytes\n", kVersions * kFilesPerVersion,
                static_cast<std::uintmax_t>(bytes));
    std::fflush(stdout);

    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string url = web.Url("/list.xml");
    const std::string xmllint = wi::test::FindProgram("xmllint");
    wi::bench::PrintPairs(
        "filelist_download", "xmllint --noout",
        wi::bench::Alternate(
            5, [&] { return wi::bench::ChildSample({self, "--child", machine.Prefix(), url}); },
            [&] { return wi::bench::ChildSample({xmllint, "--noout", document}); }),
        1.2, 0.5);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "filelist_download: %s\n", error.what());
    return 1;
}
