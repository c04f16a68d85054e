// Single-file downloads and the removal notice against a real nginx: the requests it receives,
// where the files land and what the caller's buffer holds.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>

#include "download_test_support.h"
#include "platform/events.h"
#include "support/forwarding_machine.h"
#include "support/peers.h"
#include "support/wire_server.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/lists.h"
#include "webinteractive/transfer.h"

namespace {

using wi::test::NginxPeer;

class FileDownloadsTest : public wi::test::ServiceTest {
protected:
    FileDownloadsTest() {
        web_.AddFile("soft", "the software file");
        web_.AddFile("files/setup.exe", "the install file");
        web_.AddFile("locate", web_.Url("/files/setup.exe"));  // the locator's answer
    }
    std::string Templates(const std::string& name) const {
        return std::string(kTemplates) + "\\" + name;
    }

    NginxPeer web_;
    char buffer_[300] = "left over";
};

TEST_F(FileDownloadsTest, SoftFileIsNamedByItsTypeAndAsksOnce) {
    const std::string url = web_.Url("/soft");
    ASSERT_EQ(1, IWebInteractive::DownloadSoftFile(url.c_str(), "{G}", "S 1", "F01", 1, buffer_));
    const std::string tickNumber = "-?[0-9]+\\.tmp";
    EXPECT_TRUE(std::regex_match(buffer_, std::regex(R"(C:\\ProgramData\\Microsoft\\Windows\\)"
                                                     R"(Templates\\F01)" +
                                                     tickNumber)))
        << buffer_;
    EXPECT_EQ("the software file", Read(buffer_));
    EXPECT_EQ(std::string(buffer_).substr(std::string(kTemplates).size() + 1) + "|1",
              lines_.back());  // shown under the local file's name

    const std::string withQuery = web_.Url("/soft?from=host");
    ASSERT_EQ(1,
              IWebInteractive::DownloadSoftFile(withQuery.c_str(), "{G}", "S", "F01", -7, buffer_));
    EXPECT_TRUE(std::regex_match(buffer_, std::regex(R"(.*\\Templates\\DownFile)" + tickNumber)))
        << buffer_;

    EXPECT_EQ((std::vector<std::string>{
                  "GET /soft?guid=%7bG%7d&soft_code=S%201&file_code=F01&file_type=1 200",
                  "GET /soft?from=host&guid=%7bG%7d&soft_code=S&file_code=F01&file_type=-7 200"}),
              web_.RequestLines());
}

TEST_F(FileDownloadsTest, MissingValuesAndFailedTransfersLeaveTheBufferEmpty) {
    const std::string url = web_.Url("/soft");
    EXPECT_EQ(0, IWebInteractive::DownloadSoftFile(url.c_str(), "{G}", "S", "", 1, buffer_));
    EXPECT_STREQ("", buffer_);
    EXPECT_EQ(0, IWebInteractive::DownloadSoftFile(url.c_str(), nullptr, "S", "F", 1, buffer_));
    EXPECT_EQ(0,
              IWebInteractive::DownloadInstallFile(url.c_str(), "", "setup.exe", buffer_, nullptr));
    EXPECT_EQ(0, IWebInteractive::DownloadInstallFile1(url.c_str(), "tools", "", "D:\\t", nullptr));
    EXPECT_EQ(0, IWebInteractive::DownloadPatchFile(url.c_str(), "", buffer_));
    EXPECT_TRUE(lines_.empty());  // nothing was asked for or reported

    std::strcpy(buffer_, "left over");
    EXPECT_EQ(0, IWebInteractive::DownloadSoftFile(web_.Url("/gone").c_str(), "{G}", "S", "F", 2,
                                                   buffer_));
    EXPECT_STREQ("", buffer_);
    // A locator that does not answer: no directory is made.
    std::strcpy(buffer_, "left over");
    EXPECT_EQ(0, IWebInteractive::DownloadInstallFile(web_.Url("/gone").c_str(), "fresh",
                                                      "setup.exe", buffer_, nullptr));
    EXPECT_STREQ("", buffer_);
    EXPECT_FALSE(Exists(Templates("fresh")));
    EXPECT_EQ((std::vector<std::string>{
                  "GET /gone?guid=%7bG%7d&soft_code=S&file_code=F&file_type=2 404",
                  "GET /gone?filename=setup%2eexe 404"}),
              web_.RequestLines());
}

TEST_F(FileDownloadsTest, InstallFileIsLocatedThenStoredInItsSubdirectory) {
    const std::string url = web_.Url("/locate");
    ASSERT_EQ(1, IWebInteractive::DownloadInstallFile(url.c_str(), "tools", "setup.exe", buffer_,
                                                      nullptr));
    EXPECT_EQ(Templates("tools\\setup.exe"), buffer_);
    EXPECT_EQ("the install file", Read(buffer_));
    EXPECT_EQ(url + "?filename=setup%2eexe : setup.exe", lines_.front());
    EXPECT_EQ("setup.exe|1", lines_.back());

    // The target directory, with or without its trailing backslash; the address holds a "?".
    const std::string withQuery = web_.Url("/locate?v=2");
    for (const char* target : {"D:\\target\\", "D:\\target"}) {
        EXPECT_EQ(1, IWebInteractive::DownloadInstallFile1(withQuery.c_str(), "tools", "setup.exe",
                                                           target, nullptr));
    }
    EXPECT_EQ("the install file", Read("D:\\target\\setup.exe"));
    // An empty target is the relative "\setup.exe", which the directory check refuses.
    EXPECT_THROW(
        IWebInteractive::DownloadInstallFile1(withQuery.c_str(), "tools", "setup.exe", "", nullptr),
        CXException);

    const std::vector<std::string> expected{
        "GET /locate?filename=setup%2eexe 200", "GET /files/setup.exe 200",
        "GET /locate?v=2&filename=setup%2eexe 200", "GET /files/setup.exe 200",
        "GET /locate?v=2&filename=setup%2eexe 200", "GET /files/setup.exe 200",
        "GET /locate?v=2&filename=setup%2eexe 200"};
    EXPECT_EQ(expected, web_.RequestLines());
}

// The caller's cancel event reaches the file's transfer, not the locator's request. The file's
// server never answers, so only the event can end its transfer.
TEST_F(FileDownloadsTest, TheCancelEventStopsTheInstallFileOnly) {
    wi::test::WireServer stalled({wi::test::WireReply::Stall()});
    web_.AddFile("locate-stalled", stalled.Url("/setup.exe"));
    void* cancel = wi::platform::CreateEventObject(true, true);
    EXPECT_EQ(0, IWebInteractive::DownloadInstallFile(web_.Url("/locate-stalled").c_str(), "tools",
                                                      "setup.exe", buffer_, cancel));
    wi::platform::CloseEventObject(cancel);
    EXPECT_STREQ("", buffer_);
    EXPECT_FALSE(Exists(Templates("tools\\setup.exe")));
    EXPECT_EQ(std::vector<std::string>{"GET /locate-stalled?filename=setup%2eexe 200"},
              web_.RequestLines());
    EXPECT_LE(stalled.Connections(), 1u);
}

TEST_F(FileDownloadsTest, PatchIsLocatedThenStoredAsADownFile) {
    web_.AddFile("patches/p1.exe", "the patch");
    web_.AddFile("patch", web_.Url("/patches/p1.exe"));
    web_.AddFile("bad-patch", web_.Url("/patches/none.exe"));
    web_.AddFile("local-patch", "file:///etc/passwd");

    ASSERT_EQ(1, IWebInteractive::DownloadPatchFile(web_.Url("/patch").c_str(), "P-1", buffer_));
    EXPECT_TRUE(std::regex_match(buffer_, std::regex(R"(.*\\Templates\\DownFile-?[0-9]+\.tmp)")))
        << buffer_;
    EXPECT_EQ("the patch", Read(buffer_));

    EXPECT_EQ(0, IWebInteractive::DownloadPatchFile(web_.Url("/bad-patch").c_str(), "P", buffer_));
    EXPECT_STREQ("", buffer_);
    // An answer naming anything but an http or https address is refused before any transfer.
    EXPECT_THROW(IWebInteractive::DownloadPatchFile(web_.Url("/local-patch").c_str(), "P", buffer_),
                 CDownloadError);
    EXPECT_STREQ("", buffer_);

    EXPECT_EQ((std::vector<std::string>{"GET /patch?patchid=P%2d1 200", "GET /patches/p1.exe 200",
                                        "GET /bad-patch?patchid=P 200", "GET /patches/none.exe 404",
                                        "GET /local-patch?patchid=P 200"}),
              web_.RequestLines());
}

TEST_F(FileDownloadsTest, RemoveFileInfoIsAnsweredWhateverTheReplySays) {
    web_.AddFile("remove", "ERROR: no such file");
    const char* url = "";
    const std::string address = web_.Url("/remove");
    const char* guid = "{G}";
    const char* version = "1.0";
    const char* code = nullptr;
    url = address.c_str();
    EXPECT_EQ(1, IWebInteractive::RemoveFileInfo(url, guid, version, code));
    const std::string gone = web_.Url("/gone?x");
    url = gone.c_str();
    EXPECT_EQ(0, IWebInteractive::RemoveFileInfo(url, guid, version, code));
    EXPECT_EQ(
        (std::vector<std::string>{"GET /remove?GUID=%7bG%7d&Version=1%2e0&CharacterCode= 200",
                                  "GET /gone?x&GUID=%7bG%7d&Version=1%2e0&CharacterCode= 404"}),
        web_.RequestLines());
}

// A machine that cannot name its templates folder: the fixed paths on drive C:.
class NoTemplatesMachine : public wi::test::ForwardingMachine {
public:
    bool GetSpecialFolder(int id, std::string& path) override {
        return id != wi::platform::kCommonTemplates && real().GetSpecialFolder(id, path);
    }
};

TEST_F(FileDownloadsTest, WithoutTheTemplatesFolderFilesGoToDriveC) {
    NoTemplatesMachine machine;
    wi::platform::SetMachine(&machine);
    EXPECT_EQ(
        1, IWebInteractive::DownloadSoftFile(web_.Url("/soft").c_str(), "G", "S", "F", 1, buffer_));
    EXPECT_STREQ("C:\\DownFile.tmp", buffer_);
    EXPECT_EQ(1, IWebInteractive::DownloadInstallFile(web_.Url("/locate").c_str(), "tools",
                                                      "setup.exe", buffer_, nullptr));
    EXPECT_STREQ("C:\\setup.exe", buffer_);
    wi::platform::SetMachine(nullptr);
    EXPECT_EQ("the install file", Read("C:\\setup.exe"));
}

// A tick count past 2^31 is printed signed, as a Windows tick count is.
TEST_F(FileDownloadsTest, TheTickCountIsPrintedAsASigned32BitNumber) {
    struct TicksOnly : wi::test::ForwardingMachine {
        std::uint64_t MillisecondsSinceStart() override { return 0x180000005ull; }
    } machine;
    wi::platform::SetMachine(&machine);
    const int result =
        IWebInteractive::DownloadSoftFile(web_.Url("/soft").c_str(), "G", "S", "F", 2, buffer_);
    wi::platform::SetMachine(nullptr);
    EXPECT_EQ(1, result);
    EXPECT_EQ(Templates("DownFile-2147483643.tmp"), buffer_);
}

}  // namespace
