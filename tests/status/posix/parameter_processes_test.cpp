// Processes that mirror their parameters to one file at the same moment, or are killed while
// saving.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include "support/child_processes.h"
#include "support/peers.h"
#include "webinteractive/status.h"

namespace fs = std::filesystem;

namespace {

constexpr int kProcesses = 2, kEntriesEach = 200, kRounds = 5;

std::string Name(int process, int entry) {
    return "p" + std::to_string(process) + "-" + std::to_string(entry);
}

// Whether the file's text is one that the savers can have left: whole lines, each one a saved
// entry, every process's entries saved so far and no later one.
bool Consistent(const std::string& text) {
    std::set<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) return false;
        lines.insert(text.substr(start, end - start));
        start = end + 1;
    }
    std::size_t expected = 0;
    for (int process = 0; process < kProcesses; ++process) {
        int saved = 0;
        while (saved < kEntriesEach &&
               lines.count(Name(process, saved) + "=value " + Name(process, saved))) {
            ++saved;
        }
        expected += static_cast<std::size_t>(saved);
    }
    return lines.size() == expected;
}

TEST(ParameterProcesses, SavingAtOnceKeepsEveryEntryAndTheFileWholeAtAnyMoment) {
    const fs::path directory =
        fs::temp_directory_path() / ("wi_parameter_processes_" + std::to_string(std::random_device{}()));
    fs::create_directories(directory);
    const std::string file = (directory / "params.txt").string();
    for (int round = 0; round < kRounds; ++round) {
        fs::remove(file);
        bool seen = false;
        int lookedAt = 0, missingAfterSeen = 0, inconsistent = 0;
        const bool done = wi::test::RunInChildProcesses(
            kProcesses,
            [&file](int process) {
                if (!IHelperInc::SetParamFile(file.c_str())) return false;
                for (int entry = 0; entry < kEntriesEach; ++entry) {
                    std::string name = Name(process, entry), value = "value " + name;
                    IHelperInc::SaveParam(name, value);
                }
                return true;
            },
            [&] {
                std::ifstream in(file, std::ios::binary);
                if (!in) {
                    missingAfterSeen += seen;
                    return;
                }
                seen = true;
                ++lookedAt;
                const std::string text{std::istreambuf_iterator<char>(in), {}};
                inconsistent += !Consistent(text);
            });
        ASSERT_TRUE(done) << "round " << round;
        EXPECT_EQ(0, missingAfterSeen) << "round " << round;
        EXPECT_EQ(0, inconsistent) << "round " << round << ", of " << lookedAt << " looks";

        ASSERT_TRUE(IHelperInc::SetParamFile(file.c_str()));
        for (int process = 0; process < kProcesses; ++process) {
            for (int entry = 0; entry < kEntriesEach; ++entry) {
                std::string name = Name(process, entry);
                ASSERT_EQ("value " + name, IHelperInc::ReadParam(name)) << "round " << round;
            }
        }
        ASSERT_TRUE(IHelperInc::SetParamFile(nullptr));
    }
    fs::remove_all(directory);
}

TEST(ParameterProcesses, ASaveRemovesTheNewFileThatAKilledSaverLeft) {
    const fs::path directory =
        fs::temp_directory_path() / ("wi_parameter_killed_" + std::to_string(std::random_device{}()));
    fs::create_directories(directory);
    const std::string ended = wi::test::RunShell("sh -c 'echo $$'");
    const fs::path left = directory / (".~wi" + ended.substr(0, ended.find('\n')) + "-3");
    std::ofstream(left) << "cut=sho";
    const std::string file = (directory / "params.txt").string();
    ASSERT_TRUE(IHelperInc::SetParamFile(file.c_str()));
    std::string name = "n", value = "v";
    IHelperInc::SaveParam(name, value);
    EXPECT_FALSE(fs::exists(left));
    EXPECT_TRUE(fs::exists(file));
    ASSERT_TRUE(IHelperInc::SetParamFile(nullptr));
    fs::remove_all(directory);
}

}  // namespace
