// SaveUploadFileListXml and UploadFileList: the file list in the form the service receives.
#include <gtest/gtest.h>

#include <list>
#include <stdexcept>
#include <string>
#include <vector>

#include "documents/document_checks.h"
#include "documents/file_list_test_support.h"
#include "frame/text.h"
#include "support/peers.h"
#include "support/status_capture.h"
#include "support/temp_machine.h"
#include "support/wire_server.h"
#include "webinteractive/documents.h"
#include "webinteractive/FileOperator.h"

namespace {

using ISoftInfoInc::_SoftInfo;
using wi::test::BareRecord;
using wi::test::FullRecord;
using wi::test::TempMachine;
using wi::xml::Document;

std::list<_SoftInfo> ThreeRecordsTwoSoftwares() {
    return {FullRecord("{A}"), FullRecord("{A}"), FullRecord("{B}")};
}

TEST(UploadFileListXml, SavedDocumentIsTheTextFormWithBaseinfoInGb2312) {
    TempMachine machine;
    std::list<_SoftInfo> softs = ThreeRecordsTwoSoftwares();
    softs.front().Version = "1.0";  // the two records of {A} differ
    const char* shown = IWebInteractive::CreateFileListXml(softs);
    Document text;
    ASSERT_TRUE(text.ParseText(shown));

    TempMachine::WriteHostFile(machine.HostPath("C:\\list.xml"), "an older file, longer than...");
    wi::test::StatusCapture status;
    IWebInteractive::SaveUploadFileListXml("C:\\list.xml", softs);
    EXPECT_STREQ("", shown);  // the shared text result is emptied
    EXPECT_TRUE(status.Lines().empty());

    const std::string bytes = TempMachine::ReadHostFile(machine.HostPath("C:\\list.xml"));
    EXPECT_EQ(0u, bytes.rfind("<?xml version=\"1.0\" encoding=\"gb2312\"?>", 0)) << bytes;
    EXPECT_EQ(std::string::npos, bytes.find("<?xml", 1));
    EXPECT_NE(std::string::npos, bytes.find("<Name>\xD6\xD0\xCE\xC4\xC8\xED\xBC\xFE</Name>"))
        << "中文软件 in GB2312";
    Document file;
    ASSERT_TRUE(file.ParseFile("C:\\list.xml"));
    const std::string fileTree = wi::test::Tree(file.Root());
    EXPECT_NE(std::string::npos, fileTree.find("Baseinfo{"));
    EXPECT_EQ(std::string::npos, fileTree.find("BaseInfo"));
    std::string textTree = wi::test::Tree(text.Root());
    EXPECT_EQ(wi::frame::ReplaceAll(textTree, "BaseInfo{", "Baseinfo{"), fileTree);

    // An empty list writes nothing, not even over an existing file.
    IWebInteractive::SaveUploadFileListXml("C:\\empty.xml", {});
    EXPECT_FALSE(CXFileOperator::PathExists("C:\\empty.xml"));
    IWebInteractive::SaveUploadFileListXml("C:\\list.xml", {});
    EXPECT_EQ(bytes, TempMachine::ReadHostFile(machine.HostPath("C:\\list.xml")));
}

TEST(UploadFileListXml, ASaveThatCannotBeWrittenRaisesAndLeavesNothing) {
    TempMachine machine;
    EXPECT_THROW(IWebInteractive::SaveUploadFileListXml("C:\\missing\\list.xml", {BareRecord("A")}),
                 std::runtime_error);
    EXPECT_FALSE(CXFileOperator::PathExists("C:\\missing"));
}

TEST(UploadFileList, PostsTheSavedDocumentOnceAndRemovesIt) {
    TempMachine machine;
    wi::test::NginxPeer web;
    const std::list<_SoftInfo> softs = ThreeRecordsTwoSoftwares();
    IWebInteractive::SaveUploadFileListXml("C:\\expected.xml", softs);

    wi::test::StatusCapture status;
    testing::internal::CaptureStdout();  // the upload's own diagnostics
    EXPECT_EQ(1, IWebInteractive::UploadFileList(web.Url("/upload").c_str(), softs));
    testing::internal::GetCapturedStdout();

    ASSERT_EQ(1u, web.ReceivedBodies().size());
    EXPECT_EQ(TempMachine::ReadHostFile(machine.HostPath("C:\\expected.xml")),
              web.ReceivedBodies()[0]);
    EXPECT_EQ(1, web.Requests().Count("POST /upload"));
    // Only the upload's own line: the upload form sends none.
    ASSERT_EQ(1u, status.Lines().size());
    EXPECT_NE(std::string::npos, status.Lines()[0].find("UpFileListTemp")) << status.Lines()[0];
    EXPECT_TRUE(wi::test::TempDocuments(machine, "UpFileListTemp").empty());
}

TEST(UploadFileList, NoRequestForAnEmptyListAndZeroWhenNobodyAnswers) {
    TempMachine machine;
    wi::test::WireServer server({wi::test::WireReply::Http(200, "TRUE")});
    EXPECT_EQ(0, IWebInteractive::UploadFileList(server.Url("/upload").c_str(), {}));
    EXPECT_EQ(0u, server.Connections());

    const std::string url = server.Url("/upload");
    server.Stop();  // the port now refuses connections
    EXPECT_EQ(0, IWebInteractive::UploadFileList(url.c_str(), {BareRecord("A")}));
    EXPECT_TRUE(wi::test::TempDocuments(machine, "UpFileListTemp").empty());
}

TEST(UploadFileList, ATemporaryFolderThatCannotBeWrittenRaisesBeforeAnyRequest) {
    TempMachine machine;
    wi::test::WireServer server({wi::test::WireReply::Http(200, "TRUE")});
    {
        wi::test::BlockedFoldersMachine blocked(machine);
        EXPECT_THROW(IWebInteractive::UploadFileList(server.Url("/upload").c_str(),
                                                     {BareRecord("A")}),
                     std::runtime_error);
    }
    EXPECT_EQ(0u, server.Connections());
    EXPECT_TRUE(wi::test::TempDocuments(machine, "UpFileListTemp").empty());
}

}  // namespace
