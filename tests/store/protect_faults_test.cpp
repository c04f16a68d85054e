// A protection that is cancelled or runs out of disk: the result it gives, and that the user
// document still parses and names every software protected before.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>

#include "drives_machine.h"
#include "protect_faults_fixture.h"
#include "webinteractive/host.h"

namespace {

using wi::test::StoredOnD;

constexpr std::uint64_t kMb = 1024 * 1024;

class ProtectFaults : public wi::test::ProtectFaultsFixture {};

TEST_F(ProtectFaults, CancelBeforeTheCallStopsAfterTheFileLoop) {
    ISoftInfoInc::_SoftInfo soft = ThreeFiles();
    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(soft, nullptr), 1);
    void* cancel = IHostInc::CreateCancelEvent(true);
    IHostInc::SignalCancelEvent(cancel);
    const std::size_t logged = LogEntries().size();
    EXPECT_EQ(IWebInteractive::ProtectFilesToLocal(soft, cancel), 0);
    IHostInc::FreeCancelEvent(cancel);
    // The old protection is gone; nothing new was copied, logged or reported at the end.
    EXPECT_EQ(lines.back(), "清除旧保护数据成功");
    EXPECT_EQ(IWebInteractive::GetProtectedVersion("G1"), -1);
    EXPECT_FALSE(Exists(std::string(kStoreRoot) + "G1"));
    EXPECT_EQ(LogEntries().size(), logged);
    ExpectEarlierProtectionKept();
}

TEST_F(ProtectFaults, CancelFromAnotherThreadStopsBetweenItems) {
    ISoftInfoInc::_SoftInfo soft = ThreeFiles();
    void* cancel = IHostInc::CreateCancelEvent(true);
    onLine = [&](const std::string& line) {
        if (line == "保护文件：setup:1...成功") {
            std::thread([cancel] { IHostInc::SignalCancelEvent(cancel); }).join();
        }
    };
    EXPECT_EQ(IWebInteractive::ProtectFilesToLocal(soft, cancel), 0);
    onLine = nullptr;
    IHostInc::FreeCancelEvent(cancel);
    EXPECT_TRUE(Exists(StoredOnD(soft, "App\\1.dat")));
    EXPECT_FALSE(Exists(StoredOnD(soft, "App\\2.dat")));
    EXPECT_FALSE(SawLine("正在保护文件...setup:2"));
    EXPECT_FALSE(SawLine("保护失败"));
    ExpectEarlierProtectionKept();
}

TEST_F(ProtectFaults, ADriveThatFillsUpFailsTheRestOfTheItems) {
    ISoftInfoInc::_SoftInfo soft = ThreeFiles();
    // D: has room for the first file only; C: always has room, and is refused.
    wi::test::DrivesMachine disks;
    int queries = 0;
    disks.beforeQuery = [&] {
        disks.freeBytes = {{'C', 1024 * kMb}, {'D', ++queries <= 1 ? 100 * kMb : 0}};
    };
    EXPECT_EQ(IWebInteractive::ProtectFilesToLocal(soft, nullptr), 0);
    const LogInfo entry = LogEntries().back();
    EXPECT_EQ(entry.result, "保护失败");
    EXPECT_EQ(entry.details.front(), "文件D:\\App\\1.dat 保护成功");
    EXPECT_EQ(*std::next(entry.details.begin()), "磁盘空间不足，无法保护！");
    ExpectEarlierProtectionKept();
}

}  // namespace
