// The CLI's reading of record files: the file's records through the loaded library, within the
// library's bound, with messages that name the file.
#include "record_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/peers.h"
#include "webinteractive/host.h"

namespace {

using ISoftInfoInc::_SoftInfo;

TEST(RecordFile, FilesAreReadWithinTheBoundAndNamedInMessages) {
    const std::filesystem::path directory = wi::test::MakeTempDirectory("record_file_test");
    const std::string good = (directory / "good.xml").string();
    std::ofstream(good) << "<softwares><software><BaseInfo><GUID>{A}</GUID></BaseInfo>"
                           "</software></softwares>";
    std::list<_SoftInfo> softs;
    std::string error;
    EXPECT_TRUE(cli::ReadSoftInfoFile(good, softs, error)) << error;
    EXPECT_EQ(softs.size(), 1u);

    const std::string large = (directory / "large.xml").string();
    {
        std::ofstream out(large, std::ios::binary);
        out << "<softwares>";
        const std::string block(1 << 20, ' ');
        for (std::size_t i = 0; i <= IHostInc::GetMaxDocumentBytes() >> 20; ++i) out << block;
        out << "</softwares>";
    }
    EXPECT_FALSE(cli::ReadSoftInfoFile(large, softs, error));
    EXPECT_EQ(error, large + " is larger than 32 MiB");

    EXPECT_FALSE(cli::ReadSoftInfoFile((directory / "missing.xml").string(), softs, error));
    // With the system's reason.
    EXPECT_EQ(0u, error.find("cannot open " + (directory / "missing.xml").string() + ": "))
        << error;
    EXPECT_GT(error.size(), ("cannot open " + (directory / "missing.xml").string() + ": ").size());
    EXPECT_EQ(softs.size(), 1u);
    std::filesystem::remove_all(directory);
}

}  // namespace
