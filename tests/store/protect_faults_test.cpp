// A protection that is cancelled or runs out of disk: the result it gives, and that the user
// document still parses and names every software protected before.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <thread>

#include "free_space_machine.h"
#include "protect_support.h"
#include "store/user_document.h"
#include "webinteractive/host.h"

namespace {

using wi::test::Software;
using wi::test::SoftwareFile;
using wi::test::StoredOnD;

constexpr std::uint64_t kMb = 1024 * 1024;

// A tmpfs of this size at a host folder, for as long as the object lives; not Mounted() where
// the test may not mount (no privilege): such tests are skipped.
class SmallVolume {
public:
    SmallVolume(const std::string& folder, int kilobytes) : folder_(folder) {
        const std::string command = "mount -t tmpfs -o size=" + std::to_string(kilobytes) +
                                    "k tmpfs '" + folder + "' 2>/dev/null";
        mounted_ = std::system(command.c_str()) == 0;
    }
    ~SmallVolume() {
        if (mounted_) std::system(("umount '" + folder_ + "'").c_str());
    }
    bool Mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

class ProtectFaults : public wi::test::StoreTest {
protected:
    // G0 protected before the test's protection.
    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(Software("G0"), nullptr), 1);
    }
    void ExpectEarlierProtectionKept() {
        EXPECT_EQ(UserDocumentPairs().front().first, "G0");
        EXPECT_EQ(IWebInteractive::GetProtectedVersion("G0"), 3);
    }
    // A software of three files of 1 KB.
    ISoftInfoInc::_SoftInfo ThreeFiles() {
        ISoftInfoInc::_SoftInfo soft = Software("G1");
        for (const char* sid : {"1", "2", "3"}) {
            const std::string path = std::string("D:\\App\\") + sid + ".dat";
            PutFile(path, std::string(1024, 'x'));
            soft.files.insert(SoftwareFile(sid, path));
        }
        return soft;
    }
};

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
    wi::test::FreeSpaceMachine disks;
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

TEST_F(ProtectFaults, ACopyOntoAFullVolumeRaisesAndKeepsTheUserDocument) {
    const std::string folder = machine.MakeHostDirectory("small");
    SmallVolume volume(folder, 256);
    if (!volume.Mounted()) GTEST_SKIP() << "no permission to mount a small volume";
    machine.AddDrive('e', folder);
    Reinit();
    // E: claims room, but a file of 512 KB does not fit: a disk that another program filled.
    wi::test::FreeSpaceMachine disks;
    disks.freeBytes = {{'E', 1024 * kMb}};
    ISoftInfoInc::_SoftInfo soft = Software("G1");
    PutFile("D:\\App\\big.dat", std::string(512 * 1024, 'x'));
    soft.files = {SoftwareFile("1", "D:\\App\\big.dat")};
    const std::size_t logged = LogEntries().size();
    EXPECT_THROW(IWebInteractive::ProtectFilesToLocal(soft, nullptr), CXException);
    EXPECT_EQ(LogEntries().size(), logged);
    EXPECT_FALSE(Exists("E:\\qel_protect\\software\\G1\\3\\App\\big.dat"));
    ExpectEarlierProtectionKept();
}

TEST_F(ProtectFaults, AUserDocumentThatCannotBeReplacedStaysWhole) {
    const std::string folder = machine.MakeHostDirectory("small");
    SmallVolume volume(folder, 64);
    if (!volume.Mounted()) GTEST_SKIP() << "no permission to mount a small volume";
    machine.AddDrive('e', folder);
    const std::string userXml = "E:\\qeluser.xml";
    PutFile(userXml, "<user><software><guid>G0</guid><protect_xml>x</protect_xml></software></user>");
    PutFile("D:\\larger.xml", std::string(100 * 1024, ' '));
    EXPECT_THROW(wi::store::ReplaceUserDocument("D:\\larger.xml", userXml), CXException);
    wi::xml::Document document;
    ASSERT_TRUE(document.ParseFile(userXml));
    EXPECT_EQ(document.Root().FirstChild("software").FirstChild("guid").Text(), "G0");
}

}  // namespace
