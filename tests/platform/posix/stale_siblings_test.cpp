// A replacement killed before its rename leaves its temporary sibling; the next replacement in
// that folder removes the siblings of ended processes and keeps those of running ones.
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "platform/files.h"
#include "support/peers.h"
#include "support/temp_machine.h"

namespace fs = std::filesystem;

namespace wi::platform {
namespace {

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(StaleSiblings, TheNextReplacementRemovesThoseOfEndedProcessesOnly) {
    test::TempMachine machine;
    const std::string folder = machine.HostPath("D:\\");
    // A process that has ended, and one that runs as long as the machine: process 1.
    const std::string ended = test::RunShell("sh -c 'echo $$'");
    const std::string endedSibling = ".~wi" + ended.substr(0, ended.find('\n')) + "-7";
    const std::string runningSibling = ".~wi1-7";
    for (const std::string& name : {endedSibling, runningSibling, std::string(".~wi12x-1"),
                                    std::string("keep.txt")}) {
        test::TempMachine::WriteHostFile(folder + name, "partial");
    }

    std::unique_ptr<PendingFile> file = OpenReplacement("D:\\doc.xml", Durability::kFlushed);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->Write("<a/>", 4));
    ASSERT_TRUE(file->Commit());

    EXPECT_EQ(Names(folder), (std::set<std::string>{runningSibling, ".~wi12x-1", "keep.txt",
                                                     "doc.xml"}));
}

}  // namespace
}  // namespace wi::platform
