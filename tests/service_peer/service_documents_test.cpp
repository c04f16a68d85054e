// The documents webinteractive-service reads: uploads it keeps only when they are documents it
// can read, documents too costly to read skipped quickly, and lists answered in UTF-8 whatever
// their documents declared.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/codepage.h"
#include "service_peer.h"
#include "support/narrow_literal.h"
#include "support/temp_machine.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/webinteractive.h"

namespace {

using wi::test::RunShell;
using wi::test::ServicePeer;

// A file list of one software naming the GUID, with its name in element "Name".
std::string FileList(const std::string& guid, const std::string& name,
                     const std::string& declaration = "") {
    return declaration + "<softwares><software><BaseInfo><GUID>" + guid + "</GUID><Name>" + name +
           "</Name></BaseInfo><Version><VersionInfo><GUID>" + guid +
           "</GUID><Version>1.0</Version></VersionInfo></Version></software></softwares>";
}

// One element with 200,000 attributes: libxml2 compares them pair by pair.
std::string ManyAttributes(const std::string& guid) {
    std::string document = "<softwares><software><BaseInfo><GUID>" + guid + "</GUID><a";
    for (int i = 0; i < 200000; ++i) document += " a" + std::to_string(i) + "=\"x\"";
    return document + "/></BaseInfo></software></softwares>";
}

// Entities each ten times the one before: reading the GUID's text expands to 10^9 "lol".
std::string BillionLaughs(const std::string& guid) {
    std::string document = "<?xml version=\"1.0\"?>\n<!DOCTYPE softwares [\n<!ENTITY lol0 \"lol\">\n";
    for (int level = 1; level <= 9; ++level) {
        document += "<!ENTITY lol" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i) document += "&lol" + std::to_string(level - 1) + ";";
        document += "\">\n";
    }
    return document + "]>\n<softwares><software><BaseInfo><GUID>" + guid +
           "&lol9;</GUID></BaseInfo></software></softwares>";
}

class ServiceDocumentsTest : public testing::Test {
protected:
    void SetUp() override { IHelperInc::SetStatusSink([](const char*, void*) {}, nullptr); }
    void TearDown() override { IHelperInc::SetStatusSink(nullptr, nullptr); }

    // Posts the file's bytes; gives "STATUS BODY". A hang guard ends a post that takes minutes.
    std::string Post(const std::string& path, const std::string& bytes) {
        const std::string file = service_.Data() + "/../posted";
        wi::test::TempMachine::WriteHostFile(file, bytes);
        return RunShell("curl -s -g -m 60 -w '%{http_code} ' --data-binary @'" + file + "' '" +
                        service_.Url(path) + "' -o '" + file + ".answer'; cat '" + file +
                        ".answer'");
    }
    std::string Get(const std::string& path) {
        return RunShell("curl -s -g -m 60 -w ' %{http_code}' '" + service_.Url(path) + "'");
    }
    // Every file under the uploads of a kind, kept or left behind.
    std::size_t FilesOf(const std::string& kind) const {
        std::size_t count = 0;
        std::error_code error;
        for (const auto& entry :
             std::filesystem::directory_iterator(service_.Data() + "/uploads/" + kind, error)) {
            (void)entry;
            ++count;
        }
        return count;
    }
    wi::test::TempMachine machine_;
    ServicePeer service_;
};

TEST_F(ServiceDocumentsTest, UploadsThatAreNotReadableDocumentsGet400AndAreNotKept) {
    const std::string refused = "400 the body is not a well-formed XML document that this service reads\n";
    EXPECT_EQ(refused, Post("/upload/filelist", "not a document"));
    EXPECT_EQ(refused, Post("/upload/softlist", "<softwares><software></softwares>"));
    EXPECT_EQ(refused, Post("/upload/filelist", ManyAttributes("{G}")));
    EXPECT_EQ(refused, Post("/upload/filelist", BillionLaughs("{G}")));
    EXPECT_EQ(refused, Post("/upload/sysinfo?machinenum=M", ""));
    EXPECT_EQ(0u, FilesOf("filelist") + FilesOf("softlist") + FilesOf("sysinfo"));
    // A software's own file is no document; a document in GB2312 is one.
    EXPECT_EQ("200 TRUE", Post("/upload/softfile?filename=a.bin", std::string("\0\xff", 2)));
    std::string gb2312;
    ASSERT_TRUE(wi::platform::ConvertEncoding(
        "UTF-8", "GB2312", FileList("{G}", "金山词霸", "<?xml version=\"1.0\" encoding=\"gb2312\"?>"),
        gb2312));
    EXPECT_EQ("200 TRUE", Post("/upload/filelist", gb2312));
    EXPECT_EQ(2u, FilesOf("filelist"));  // its body and its target
}

TEST_F(ServiceDocumentsTest, DocumentsTooCostlyToReadAreSkippedAtOnce) {
    service_.AddFile("filelists/{MANY}.xml", ManyAttributes("{MANY}"));
    service_.AddFile("filelists/{LAUGHS}.xml", BillionLaughs("{LAUGHS}"));
    EXPECT_EQ("no file list for this GUID\n 404", Get("/filelist?guid={MANY}"));
    EXPECT_EQ("no file list for this GUID\n 404", Get("/filelist?guid={LAUGHS}"));
    EXPECT_EQ("no such version of this GUID\n 404", Get("/certain?guid={LAUGHS}&version=-1"));
    // The same documents among the uploads do not hold up the lists made of all of them.
    service_.AddFile("uploads/softlist/00000001-1.body", ManyAttributes("{MANY}"));
    service_.AddFile("uploads/softlist/00000002-1.body", BillionLaughs("{LAUGHS}"));
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<softwares/>\n 200", Get("/softlist"));
}

TEST_F(ServiceDocumentsTest, ListsAreAnsweredInUtf8WhateverTheirDocumentsDeclared) {
    // The markup is ASCII, which UTF-7 writes as it stands; the name is in UTF-7's base64.
    std::string name;
    ASSERT_TRUE(wi::platform::ConvertEncoding("UTF-8", "UTF-7", "金山词霸", name));
    ASSERT_EQ('+', name.front());
    ASSERT_EQ("200 TRUE",
              Post("/upload/filelist",
                   FileList("{U7}", name, "<?xml version=\"1.0\" encoding=\"UTF-7\"?>")));

    for (const std::string path : {"/filelist?guid={U7}", "/certain?guid={U7}&version=-1"}) {
        const std::string answer = Get(path);
        EXPECT_EQ(0u, answer.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n")) << answer;
        EXPECT_NE(std::string::npos, answer.find("<Name>金山词霸</Name>")) << answer;
    }
    int locked = -1;
    const auto& softs = IWebInteractive::DownloadFileList(service_.Url("/filelist").c_str(),
                                                          "{U7}", "", "", locked, nullptr);
    ASSERT_EQ(1u, softs.size());
    EXPECT_EQ(wi::test::Narrow("金山词霸"), softs.front().Name);
}

}  // namespace
