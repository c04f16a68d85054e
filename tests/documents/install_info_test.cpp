// The install info document, saved and uploaded.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "document_checks.h"
#include "platform/files.h"
#include "support/narrow_literal.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "support/wire_server.h"
#include "webinteractive/documents.h"

namespace {

using ISoftInfoInc::_SoftInfo;
using wi::test::ChildNames;
using wi::test::Tree;
using wi::xml::Document;

const std::string kChinese = wi::test::Narrow("中文");
const std::string kChineseGb2312 = "\xD6\xD0\xCE\xC4";  // "中文" in GB2312

// A record with every member the document carries set, and members it leaves out set too.
_SoftInfo SampleSoft() {
    _SoftInfo soft;
    soft.GUID = "{G}";
    soft.Name = kChinese + "\r\n";
    soft.Version = "2";
    soft.OriginalVersion = "2.0\t";
    soft.SetupPath = "C:\\Program Files\\" + kChinese;
    soft.WindowsVersion = -1;
    soft.Size = 5000000000LL;
    soft.special_code = "sc";
    soft.Category = 7;
    soft.estimated_size = 0;
    soft.no_remove = 1;
    soft.creator = "";
    soft.product_id = "pid";
    soft.pn_version = "pv";
    // Left out of the document:
    soft.Type = 9;
    soft.Vendor = "vendor";
    soft.pn_name = "pn";
    soft.analyse_result = 3;
    soft.files.insert(IFileInfoInc::_FileInfo());
    soft.dependences.insert(IDepInfoInc::_DepInfo());
    return soft;
}

const std::string kSampleTree =
    "softwares{software{BaseInfo{GUID=\"{G}\",Name=\"" + kChinese + "\"},Version{VersionInfo{"
    "GUID=\"{G}\",Version=\"2\",OriginalVersion=\"2.0\",SetupPath=\"C:\\Program Files\\" +
    kChinese + "\",WindowsVersion=\"-1\",HelpLink=\"\",UpdateLink=\"\",Size=\"5000000000\","
    "SetupSourcePath=\"\",DownloadPath=\"\",special_code=\"sc\",Category=\"7\","
    "authorized_prefix=\"\",comments=\"\",contact=\"\",estimated_size=\"0\",help_telephone=\"\","
    "install_date=\"\",language=\"0\",no_modify=\"0\",no_remove=\"1\",no_repair=\"0\","
    "modify_path=\"\",readme=\"\",system_component=\"0\",version_info=\"0\",version_major=\"0\","
    "version_minor=\"0\",windows_installer=\"0\",creator=\"\",product_id=\"pid\","
    "pn_version=\"pv\"}}}}";

TEST(InstallInfo, SavedDocumentIsGb2312WithOneSoftware) {
    wi::test::TempMachine machine;
    const std::string path = IWebInteractive::SaveInstallInfoXml(SampleSoft());
    EXPECT_NE(std::string::npos, path.find("\\UpInstallInfoTemp")) << path;

    const std::string bytes = wi::test::TempMachine::ReadHostFile(machine.HostPath(path));
    EXPECT_EQ(0u, bytes.rfind("<?xml version=\"1.0\" encoding=\"gb2312\"?>", 0)) << bytes;
    EXPECT_NE(std::string::npos, bytes.find("<Name>" + kChineseGb2312 + "</Name>")) << bytes;
    Document saved;
    ASSERT_TRUE(saved.ParseFile(path));
    EXPECT_EQ(kSampleTree, Tree(saved.Root()));
    EXPECT_EQ(32u, ChildNames(saved.Root().FirstChild("software").FirstChild("Version")
                                  .FirstChild("VersionInfo")).size());
    // The common documents folder outlives the test where the machine is the system's own.
    EXPECT_TRUE(wi::platform::DeleteFile(path));
}

TEST(InstallInfo, UploadHandsBackTheReplyAndRemovesTheFile) {
    wi::test::TempMachine machine;
    wi::test::NginxPeer web;
    EXPECT_STREQ("TRUE", IWebInteractive::UploadFileInfo(web.Url("/upload").c_str(), SampleSoft()));
    const auto bodies = web.ReceivedBodies();
    ASSERT_EQ(1u, bodies.size());
    Document received;
    ASSERT_TRUE(received.ParseBytes(bodies[0]));
    EXPECT_EQ(kSampleTree, Tree(received.Root()));
    EXPECT_EQ(1, web.Requests().Count("POST /upload")) << web.AccessLog();

    // Whatever the service answers comes back, an error page too; no answer gives "".
    const std::string page = std::string(2000, 'L');
    wi::test::WireServer wire({wi::test::WireReply::Http(200, "saved as 42"),
                               wi::test::WireReply::Http(500, page)});
    EXPECT_STREQ("saved as 42", IWebInteractive::UploadFileInfo(wire.Url("/i").c_str(), SampleSoft()));
    EXPECT_EQ(page.substr(0, 1023),
              IWebInteractive::UploadFileInfo(wire.Url("/i").c_str(), SampleSoft()));
    EXPECT_EQ(2u, wire.Requests().size());
    wire.Stop();
    EXPECT_STREQ("", IWebInteractive::UploadFileInfo(wire.Url("/i").c_str(), SampleSoft()));
    EXPECT_TRUE(wi::test::TempDocuments(machine, "UpInstallInfoTemp").empty());
}

TEST(InstallInfo, UnwritableTemporaryFolderRaisesAndPostsNothing) {
    wi::test::TempMachine machine;
    wi::test::WireServer wire({wi::test::WireReply::Http(200, "TRUE")});
    wi::test::BlockedFoldersMachine blocked(machine);
    EXPECT_THROW(IWebInteractive::SaveInstallInfoXml(SampleSoft()), std::runtime_error);
    EXPECT_THROW(IWebInteractive::UploadFileInfo(wire.Url("/i").c_str(), SampleSoft()),
                 std::runtime_error);
    EXPECT_TRUE(wire.Requests().empty());
}

}  // namespace
