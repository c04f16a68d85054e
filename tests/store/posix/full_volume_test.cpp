// A protection onto a volume that is really full: a small tmpfs of the build machine mounted as
// drive E: of the emulated machine.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../drives_machine.h"
#include "../protect_faults_fixture.h"
#include "store/document_replace.h"

namespace {

using wi::test::Software;
using wi::test::SoftwareFile;

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

class FullVolume : public wi::test::ProtectFaultsFixture {};

TEST_F(FullVolume, ACopyOntoAFullVolumeRaisesAndKeepsTheUserDocument) {
    const std::string folder = machine.MakeHostDirectory("small");
    SmallVolume volume(folder, 256);
    if (!volume.Mounted()) GTEST_SKIP() << "no permission to mount a small volume";
    machine.AddDrive('e', folder);
    Reinit();
    // E: claims room, but a file of 512 KB does not fit: a disk that another program filled.
    wi::test::DrivesMachine disks;
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

TEST_F(FullVolume, AUserDocumentThatCannotBeReplacedStaysWhole) {
    const std::string folder = machine.MakeHostDirectory("small");
    SmallVolume volume(folder, 64);
    if (!volume.Mounted()) GTEST_SKIP() << "no permission to mount a small volume";
    machine.AddDrive('e', folder);
    const std::string userXml = "E:\\qeluser.xml";
    PutFile(userXml, "<user><software><guid>G0</guid><protect_xml>x</protect_xml></software></user>");
    PutFile("D:\\larger.xml", std::string(100 * 1024, ' '));
    EXPECT_THROW(wi::store::ReplaceStoreDocument("D:\\larger.xml", userXml), CXException);
    wi::xml::Document document;
    ASSERT_TRUE(document.ParseFile(userXml));
    EXPECT_EQ(document.Root().FirstChild("software").FirstChild("guid").Text(), "G0");
}

// A copy within the one volume goes through the kernel's own copy; when that runs out of room
// midway, the copy fails and leaves nothing behind.
TEST_F(FullVolume, ACopyWithinAVolumeThatFillsUpMidwayLeavesNothing) {
    const std::string folder = machine.MakeHostDirectory("small");
    SmallVolume volume(folder, 256);
    if (!volume.Mounted()) GTEST_SKIP() << "no permission to mount a small volume";
    machine.AddDrive('e', folder);
    PutFile("E:\\source.dat", std::string(160 * 1024, 'x'));
    EXPECT_THROW(CXFileOperator::CopyFile("E:\\source.dat", "E:\\copy.dat", false), CXException);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"source.dat"});
}

}  // namespace
