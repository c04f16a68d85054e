// ParseSoftIDList on a software ID list of 100,000 softwares (UTF-8, Chinese names; about 15 MB)
// against `xmllint --noout` parsing the same file. Each side is a child process of its own that
// reads the file and parses it; the times and peak memory are those of the whole children.
// Ratios of ours over xmllint, the median of alternating pairs; goals: at most 1.0 for both.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bench_common.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/host.h"
#include "webinteractive/lists.h"

namespace {

constexpr int kSoftwares = 100000;

void WriteList(const std::string& hostPath) {
    std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<softwares>\n";
    char line[256];
    for (int i = 0; i < kSoftwares; ++i) {
        std::snprintf(line, sizeof line,
                      "<software><BaseInfo><GUID>{%08X-1C40-4B7E-9A2D-%012X}</GUID>"
                      "<pn_name>软件%d</pn_name><pn_version>1.%d</pn_version></BaseInfo>"
                      "</software>\n",
                      i * 2654435761u, i, i, i % 10);
        out << line;
    }
    out << "</softwares>\n";
}

// The child: reads the list and parses it; fails unless every software arrived.
int ParseChild(const char* prefix, const char* hostPath) {
    IHostInc::SetMachinePrefix(prefix);
    std::ifstream in(hostPath, std::ios::binary | std::ios::ate);
    std::string text(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    return IWebInteractive::ParseSoftIDList(text.c_str()).size() == kSoftwares ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) try {
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        return ParseChild(argv[2], argv[3]);
    }
    wi::test::TempMachine machine;
    const std::string list = machine.Root() + "/softids.xml";
    WriteList(list);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string xmllint = wi::test::FindProgram("xmllint");
    wi::bench::PrintPairs(
        "softid_list", "xmllint --noout",
        wi::bench::Alternate(
            5, [&] { return wi::bench::ChildSample({self, "--child", machine.Prefix(), list}); },
            [&] { return wi::bench::ChildSample({xmllint, "--noout", list}); }),
        1.0, 1.0);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "softid_list: %s\n", error.what());
    return 1;
}
