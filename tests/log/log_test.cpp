// The operation log against a real peer: nginx receives every uploaded log document, which the
// tests parse back and compare as trees.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "log/growing_log_entry.h"
#include "log/log_access.h"
#include "platform/codepage.h"
#include "platform/machine.h"
#include "platform/xml_dom.h"
#include "support/gbk_locale.h"
#include "support/narrow_literal.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/frame.h"
#include "webinteractive/status.h"

namespace {

using wi::test::Narrow;
using wi::test::NginxPeer;
using wi::test::TempMachine;

// The system's machine with a fixed local time, so that "CreateDate" is known, and a common
// documents folder that a test may move.
class ControlledMachine : public wi::platform::Machine {
public:
    std::string documentsFolder;  // when set, the common documents folder (a Windows path)

    bool IsFixedDrive(char letter) override { return System().IsFixedDrive(letter); }
    bool QueryDiskSpace(const std::string& path, wi::platform::DiskSpace& space) override {
        return System().QueryDiskSpace(path, space);
    }
    bool GetSpecialFolder(int id, std::string& path) override {
        if (id == wi::platform::kCommonDocuments && !documentsFolder.empty()) {
            path = documentsFolder;
            return true;
        }
        return System().GetSpecialFolder(id, path);
    }
    wi::platform::ClockTime UtcTime() override { return System().UtcTime(); }
    wi::platform::ClockTime LocalTime() override { return {2026, 3, 7, 9, 5, 1, 250}; }
    std::uint64_t MillisecondsSinceStart() override { return System().MillisecondsSinceStart(); }
    unsigned long ThreadId() override { return System().ThreadId(); }
    void Sleep(unsigned milliseconds) override { System().Sleep(milliseconds); }

private:
    static wi::platform::Machine& System() { return wi::platform::SystemMachine(); }
};

// Texts the library takes and gives are in the narrow code page.
const std::string kHeader =
    Narrow("Type=protect,SysId=sys-1,CaseId=案例7,Creator=张三,CreateDate=2026-03-07 09:05:01");

std::string Config(const std::string& servlet, const std::string& root = "Logs") {
    return "<?xml version=\"1.0\"?><" + root +
           "><UpUserUrl>u</UpUserUrl><SysId>sys-1</SysId>" +
           Narrow("<CaseId>案例7</CaseId><Creator>张三</Creator>") + "<Servlet>" + servlet +
           "</Servlet></" + root + ">";
}

// An element as text: name, for "Log" its two attributes in brackets, then "=text" for a leaf
// or its children in braces.
std::string Tree(const wi::xml::Element& element) {
    std::string out = element.Name();
    if (out == "Log") {
        out += "[" + element.Attribute("guid") + "|" + element.Attribute("Special_code") + "]";
    }
    const std::vector<wi::xml::Element> children = element.Children();
    if (children.empty()) {
        return out + "=" + element.Text();
    }
    out += "{";
    for (std::size_t i = 0; i < children.size(); ++i) {
        out += (i ? "," : "") + Tree(children[i]);
    }
    return out + "}";
}

// The tree of a received document, read as the service reads it: by its declaration.
std::string ReceivedTree(const std::string& body) {
    wi::xml::Document document;
    if (!document.ParseBytes(body)) {
        return "unreadable: " + body;
    }
    return Tree(document.Root());
}

std::string Gb2312(const std::string& utf8) {
    std::string out;
    EXPECT_TRUE(wi::platform::ConvertEncoding("UTF-8", "GB2312", utf8, out)) << utf8;
    return out;
}

class LogTest : public testing::Test {
protected:
    void SetUp() override {
        wi::platform::SetMachine(&machineSeam_);
        IHelperInc::SetStatusSink(&LogTest::Collect, &lines_);
        Reset();
    }
    void TearDown() override {
        Reset();
        IHelperInc::SetStatusSink(nullptr, nullptr);
        wi::platform::SetMachine(nullptr);
    }
    // The log object lives as long as the process: every test starts it empty and unconfigured.
    static void Reset() {
        Log().SetParam("<Logs><SysId/><CaseId/><Creator/></Logs>", "", "");
        Log().StartLog();
    }
    static CLogInc& Log() { return *IWebInteractive::GetLogInc(); }
    static void Collect(const char* line, void* context) {
        static_cast<std::vector<std::string>*>(context)->push_back(line);
    }
    // StopLog with the upload's diagnostics (standard output) kept out of the test's output.
    int Stop() {
        testing::internal::CaptureStdout();
        const int result = Log().StopLog();
        testing::internal::GetCapturedStdout();
        return result;
    }
    std::string DocumentsFolder() const {
        return machine_.HostPath("C:\\users\\Public\\Documents");
    }
    // Temporary log documents left in the common documents folder.
    std::vector<std::string> LeftoverLogFiles() const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(DocumentsFolder(), error)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("logTemp", 0) == 0) names.push_back(name);
        }
        return names;
    }

    TempMachine machine_;
    ControlledMachine machineSeam_;
    std::vector<std::string> lines_;
};

TEST_F(LogTest, ReportsTheRunAsOneGb2312DocumentInOneRequest) {
    NginxPeer web;
    const std::string url = web.Url("/upload?case=7");
    Log().SetParam(Config(url).c_str(), "protect", Narrow("客户端\t1").c_str());
    Log().StartLog();
    Log().SaveOneLog(
        {"{GUID-1}\t", "SC\x01-9", Narrow("保护成功"), {Narrow("复制 a.exe\t成功\r\n"), "b"}});
    Log().SaveOneLog({"g2", "", Narrow("保护失败"), {}});

    ASSERT_EQ(1, Stop());
    const std::vector<std::string> bodies = web.ReceivedBodies();
    ASSERT_EQ(1u, bodies.size());
    EXPECT_EQ(1, web.Requests().Count("POST /upload?case=7 200"));
    const std::string& body = bodies[0];
    EXPECT_EQ(0u, body.find("<?xml version=\"1.0\" encoding=\"gb2312\"?>")) << body;
    EXPECT_NE(std::string::npos, body.find(Gb2312("<Result>保护成功</Result>"))) << body;
    // Only the two attributes of each "Log"; texts cleaned, the guid keeps its tab, XML drops the
    // 0x01 that it cannot carry.
    EXPECT_EQ("Logs{" + kHeader +
                  Narrow(",Log[{GUID-1}\t|SC-9]{Content{Source=客户端1,Result=保护成功,"
                         "Details{Detail=复制 a.exe成功,Detail=b}}},"
                         "Log[g2|]{Content{Source=客户端1,Result=保护失败,Details=}}}"),
              ReceivedTree(body));
    std::size_t attributes = 0;
    for (std::size_t at = body.find("?>"); (at = body.find("=\"", at)) != std::string::npos; ++at) {
        ++attributes;
    }
    EXPECT_EQ(4u, attributes) << body;

    // The status line names the temporary file, which is gone afterwards.
    ASSERT_EQ(1u, lines_.size());
    EXPECT_EQ(0u, lines_[0].find(Narrow("开始上传文件 logTemp"))) << lines_[0];
    EXPECT_NE(std::string::npos, lines_[0].find(Narrow(".xml 到 ") + url + "...")) << lines_[0];
    EXPECT_TRUE(LeftoverLogFiles().empty());
}

TEST_F(LogTest, EntriesStayUntilStartLogAndOnlyAServletIsPostedTo) {
    NginxPeer web;
    Log().SaveOneLog({"early", "1", "r", {}});  // before any StartLog: reported too
    Log().SetParam(Config(web.Url("/upload")).c_str(), "protect", "s");
    Log().SaveOneLog({"late", "2", "r", {"d"}});
    const std::string logs = "Log[early|1]{Content{Source=s,Result=r,Details=}},"
                             "Log[late|2]{Content{Source=s,Result=r,Details{Detail=d}}}";

    ASSERT_EQ(1, Stop());
    ASSERT_EQ(1, Stop());  // the same entries again
    Log().StartLog();
    ASSERT_EQ(1, Stop());  // the header alone
    Log().SetParam("", "protect", "s");  // Servlet cleared: nothing is built or sent
    EXPECT_EQ(0, Stop());
    Log().SetParam(Config(web.Url("/upload"), "Config").c_str(), "protect", "s");
    EXPECT_EQ(0, Stop());

    const std::vector<std::string> bodies = web.ReceivedBodies();
    ASSERT_EQ(3u, bodies.size());
    EXPECT_EQ("Logs{" + kHeader + "," + logs + "}", ReceivedTree(bodies[0]));
    EXPECT_EQ(bodies[0], bodies[1]);
    EXPECT_EQ("Logs{" + kHeader + "}", ReceivedTree(bodies[2]));
    EXPECT_EQ(3u, lines_.size());
}

TEST_F(LogTest, AConfigurationReplacesOnlyTheKeysItHolds) {
    const auto run = [] { return wi::log::LogAccess::CurrentRun(); };
    Log().SetParam("<LOGS><SysId>a</SysId><CaseId>b</CaseId><Creator>c</Creator>"
                   "<Servlet>http://x/</Servlet></LOGS>",
                   "repair", "s1");
    EXPECT_EQ("a|b|c|http://x/|repair|s1", run().SysId + "|" + run().CaseId + "|" +
                                               run().Creator + "|" + run().Servlet + "|" +
                                               run().type + "|" + run().source);

    // A missing key keeps its value, Servlet excepted; nested text is read whole.
    Log().SetParam("<logs><SysId>a<i>2</i></SysId></logs>", "restore", "s2");
    EXPECT_EQ("a2|b|c||restore|s2", run().SysId + "|" + run().CaseId + "|" + run().Creator +
                                        "|" + run().Servlet + "|" + run().type + "|" +
                                        run().source);
    EXPECT_EQ("restore", wi::log::LogAccess::RunType());

    // Another root sets only the type and the source.
    Log().SetParam("<Config><SysId>z</SysId><Servlet>http://x/</Servlet></Config>", "t3", "s3");
    EXPECT_EQ("a2||t3|s3", run().SysId + "|" + run().Servlet + "|" + run().type + "|" +
                               run().source);

    // Text that does not parse, or none at all, only clears Servlet.
    const char* const texts[] = {"<Logs><Servlet>http://x/</Servlet>", "not xml", "", nullptr};
    for (const char* text : texts) {
        Log().SetParam("<Logs><Servlet>http://x/</Servlet></Logs>", "t3", "s3");
        Log().SetParam(text, "t4", "s4");
        EXPECT_EQ("a2||t3|s3", run().SysId + "|" + run().Servlet + "|" + run().type + "|" +
                                   run().source)
            << (text ? text : "null");
    }
}

TEST_F(LogTest, DamagedTextsReachTheDocumentWhole) {
    NginxPeer web;
    Log().SetParam(Config(web.Url("/upload")).c_str(), "pro\x1Ftect", "s");
    // Bytes that begin no character of the narrow code page (0xFF, a lead byte followed by no
    // trail byte or cut off by the end) become '?'; characters GB2312 lacks travel as character
    // references or in code page 936 and come back as they were.
    Log().SaveOneLog(
        {"\xFFg", "c\xE4", "bad\xFF\xE4!", {Narrow("café 丂"), "\x01\x02\x1F\x7F"}});
    Log().SaveOneLog({"next", "", "ok", {}});

    ASSERT_EQ(1, Stop());
    const std::vector<std::string> bodies = web.ReceivedBodies();
    ASSERT_EQ(1u, bodies.size());
    EXPECT_EQ("Logs{" + kHeader + ",Log[?g|c?]{Content{Source=s,Result=bad?" "?!,Details{Detail=" +
                  Narrow("café 丂") + ",Detail=\x7F}}},"
                  "Log[next|]{Content{Source=s,Result=ok,Details=}}}",
              ReceivedTree(bodies[0]));
}

TEST_F(LogTest, AFailedUploadOrSaveLosesNoEntry) {
    std::string closedUrl;
    {
        NginxPeer gone;
        closedUrl = gone.Url("/upload");
    }
    Log().SetParam(Config(closedUrl).c_str(), "protect", "s");
    Log().SaveOneLog({"g", "1", Narrow("保护成功"), {}});
    EXPECT_EQ(0, Stop());
    EXPECT_TRUE(LeftoverLogFiles().empty());

    // A temporary folder that cannot be written: the error reaches the caller, nothing is sent.
    NginxPeer web;
    Log().SetParam(Config(web.Url("/upload")).c_str(), "protect", "s");
    machineSeam_.documentsFolder = "C:\\no such folder";
    EXPECT_THROW(Log().StopLog(), std::runtime_error);
    machineSeam_.documentsFolder.clear();
    EXPECT_TRUE(web.ReceivedBodies().empty());

    ASSERT_EQ(1, Stop());
    ASSERT_EQ(1u, web.ReceivedBodies().size());
    EXPECT_EQ("Logs{" + kHeader + Narrow(",Log[g|1]{Content{Source=s,Result=保护成功,Details=}}}"),
              ReceivedTree(web.ReceivedBodies()[0]));
    EXPECT_TRUE(LeftoverLogFiles().empty());
}

TEST_F(LogTest, GbkTextsArriveAsTheirGb2312Bytes) {
    wi::test::GbkLocale gbk;
    if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
    NginxPeer web;
    const std::string success = "\xB1\xA3\xBB\xA4\xB3\xC9\xB9\xA6";  // 保护成功 in GBK
    Log().SetParam(("<Logs><Servlet>" + web.Url("/upload") + "</Servlet></Logs>").c_str(),
                   "protect", "s");
    // A lead byte without its trail byte becomes '?'.
    Log().SaveOneLog({"g", "\x81", success, {"x\xB1"}});

    ASSERT_EQ(1, Stop());
    ASSERT_EQ(1u, web.ReceivedBodies().size());
    const std::string body = web.ReceivedBodies()[0];
    EXPECT_NE(std::string::npos, body.find("<Result>" + success + "</Result>")) << body;
    EXPECT_EQ("Logs{Type=protect,SysId=,CaseId=,Creator=,CreateDate=2026-03-07 09:05:01,"
              "Log[g|?]{Content{Source=s,Result=" + success + ",Details{Detail=x?}}}}",
              ReceivedTree(body));
}

// The file list document's entry is saved again and again while its details grow, and a host
// may save entries in between: every entry keeps the details it had when saved, and StartLog
// drops the saved entries but not what the growing entry has gathered.
TEST_F(LogTest, AGrowingEntryKeepsEachSavesDetailsAmongHostEntries) {
    const auto entries = [] {
        std::vector<std::string> shown;
        for (const LogInfo& entry : wi::log::LogAccess::CurrentRun().entries) {
            std::string text = entry.guid + "|" + entry.special_code + "|" + entry.result + "|";
            for (const std::string& detail : entry.details) text += detail + ";";
            shown.push_back(text);
        }
        return shown;
    };
    wi::log::GrowingLogEntry growing;
    growing.guid = "g";
    growing.result = "r1";
    growing.AddDetail("a");
    growing.Save();
    Log().SaveOneLog({"host", "h", "hr", {"x"}});
    growing.result = "r2";
    growing.AddDetail("b");
    growing.AddDetail("c");
    growing.Save();
    growing.Save();
    EXPECT_EQ((std::vector<std::string>{"g||r1|a;", "host|h|hr|x;", "g||r2|a;b;c;",
                                        "g||r2|a;b;c;"}),
              entries());

    Log().StartLog();
    growing.AddDetail("d");
    growing.Save();
    EXPECT_EQ(std::vector<std::string>{"g||r2|a;b;c;d;"}, entries());

    NginxPeer web;
    Log().SetParam(("<Logs><Servlet>" + web.Url("/upload") + "</Servlet></Logs>").c_str(),
                   "protect", "s");
    ASSERT_EQ(1, Stop());
    ASSERT_EQ(1u, web.ReceivedBodies().size());
    EXPECT_EQ("Logs{Type=protect,SysId=,CaseId=,Creator=,CreateDate=2026-03-07 09:05:01,"
              "Log[g|]{Content{Source=s,Result=r2,"
              "Details{Detail=a,Detail=b,Detail=c,Detail=d}}}}",
              ReceivedTree(web.ReceivedBodies()[0]));
}

TEST_F(LogTest, EntriesSavedFromSeveralThreadsAreAllReported) {
    NginxPeer web;
    Log().SetParam(Config(web.Url("/upload")).c_str(), "protect", "s");
    constexpr int kThreads = 4, kEach = 50;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kEach; ++i) {
                Log().SaveOneLog({std::to_string(t), std::to_string(i), "r", {}});
            }
        });
    }
    EXPECT_EQ(1, Log().StopLog());  // while the threads save
    for (std::thread& thread : threads) thread.join();
    ASSERT_EQ(1, Stop());

    ASSERT_EQ(2u, web.ReceivedBodies().size());
    wi::xml::Document document;
    ASSERT_TRUE(document.ParseBytes(web.ReceivedBodies()[1]));
    std::vector<int> next(kThreads, 0);
    int logs = 0;
    for (const wi::xml::Element& log : document.Root().Children()) {
        if (log.Name() != "Log") continue;
        ++logs;
        const int thread = std::stoi(log.Attribute("guid"));
        // Each thread's entries in the order it saved them.
        EXPECT_EQ(next[thread]++, std::stoi(log.Attribute("Special_code")));
    }
    EXPECT_EQ(kThreads * kEach, logs);
}

}  // namespace
