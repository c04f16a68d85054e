// The user-document path: resolution through the "qeluser" parameter, the service and the
// default on the last fixed drive; its exchange with the service; the user information record.
#include <gtest/gtest.h>

#include <chrono>
#include <list>
#include <string>
#include <vector>

#include "frame/config.h"
#include "inc/narrow_text.h"
#include "platform/xml_dom.h"
#include "support/fixture_file.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "support/wire_server.h"
#include "userinfo/user_info_fixture.h"
#include "userinfo/discarded_request.h"
#include "userinfo/user_xml_path.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/status.h"
#include "webinteractive/userinfo.h"

namespace {

using wi::inc::NarrowFromUtf8;
using wi::test::Fixture;
using wi::test::NginxPeer;
using wi::test::TempMachine;
using wi::test::WireReply;
using wi::test::WireServer;
using wi::test::userinfo::UserInfoTest;

TEST_F(UserInfoTest, AParameterNamingAnExistingFileEndsTheResolution) {
    NginxPeer web;
    Configure(web, "/user.xml");
    MakeFile("C:\\mine.xml");
    SetUserXmlParameter("C:\\mine.xml");

    EXPECT_EQ("C:\\mine.xml", wi::userinfo::GetUserXmlPath());
    EXPECT_TRUE(StatusLines().empty());
    EXPECT_EQ(0, web.Requests().Count(""));
}

TEST_F(UserInfoTest, WithoutServiceTheLastDriveGetsTheDefaultPath) {
    SetUserXmlParameter("C:\\gone.xml");  // names no file: resolved again

    EXPECT_EQ("D:\\qel_protect\\software\\qeluser.xml", wi::userinfo::GetUserXmlPath());
    EXPECT_TRUE(CXFileOperator::IsDirectory("D:\\qel_protect\\software"));
    EXPECT_FALSE(CXFileOperator::PathExists("D:\\qel_protect\\software\\qeluser.xml"));
    EXPECT_EQ("D:\\qel_protect\\software\\qeluser.xml", UserXmlParameter());
    EXPECT_TRUE(StatusSent(NarrowFromUtf8("开始上传用户个性化信息...")));
}

TEST_F(UserInfoTest, AnExistingPathFromTheServiceIsUsedAndReportedButNotSaved) {
    NginxPeer web;
    web.AddFile("user.xml", Fixture("answer_upper_case_root.xml"));
    Configure(web, "/user.xml");
    MakeFile("C:\\store\\user.xml");

    EXPECT_EQ("C:\\store\\user.xml", wi::userinfo::GetUserXmlPath());
    EXPECT_EQ("", UserXmlParameter());
    const wi::test::SettledLog requests = web.Requests();
    EXPECT_EQ(1, requests.Count("GET /user.xml?MachineNum=AB%2d12 200"));
    EXPECT_EQ(1, requests.Count("POST /upload "));
    ASSERT_EQ(1u, web.ReceivedBodies().size());
    wi::xml::Document sent;
    ASSERT_TRUE(sent.ParseBytes(web.ReceivedBodies()[0]));
    EXPECT_EQ("user", sent.Root().Name());
    EXPECT_EQ("AB-12", sent.Root().FirstChild("machinenum").Text());
    EXPECT_EQ("C:\\store\\user.xml", sent.Root().FirstChild("qeluser").Text());

    // A path from the service that names no file gives way to the default, which is saved.
    CXFileOperator::DeleteFile("C:\\store\\user.xml");
    EXPECT_EQ("D:\\qel_protect\\software\\qeluser.xml", wi::userinfo::GetUserXmlPath());
    EXPECT_EQ("D:\\qel_protect\\software\\qeluser.xml", UserXmlParameter());
}

TEST_F(UserInfoTest, ReadUserInfoJoinsTheMachineNumberAndKeepsThePathOnOtherAnswers) {
    NginxPeer web;
    web.AddFile("user.xml", Fixture("answer_upper_case_root.xml"));
    web.AddFile("none.xml", Fixture("answer_without_qeluser.xml"));
    web.AddFile("other.xml", Fixture("answer_other_root.xml"));
    web.AddFile("text.txt", Fixture("answer_not_xml.txt"));

    Configure(web, "/user.xml?a=1");
    EXPECT_STREQ("C:\\store\\user.xml", IWebInteractive::ReadUserInfo());
    EXPECT_EQ(1, web.Requests().Count("GET /user.xml?a=1&MachineNum=AB%2d12 200"));

    // Answers without "qeluser" or with another root leave the path as it was.
    Configure(web, "/none.xml");
    EXPECT_STREQ("C:\\store\\user.xml", IWebInteractive::ReadUserInfo());
    EXPECT_EQ(1, web.Requests().Count("GET /none.xml?MachineNum=AB%2d12 200"));
    Configure(web, "/other.xml");
    EXPECT_STREQ("C:\\store\\user.xml", IWebInteractive::ReadUserInfo());

    // Not XML, a failed request, or no upload address: "".
    Configure(web, "/text.txt");
    EXPECT_STREQ("", IWebInteractive::ReadUserInfo());
    Configure(web, "/missing.xml");
    EXPECT_STREQ("", IWebInteractive::ReadUserInfo());
    wi::frame::Configuration config = wi::frame::Config();
    config.upUserUrl.clear();
    config.readUserUrl = web.Url("/user.xml");
    wi::frame::SetConfig(config);
    EXPECT_STREQ("", IWebInteractive::ReadUserInfo());
    EXPECT_EQ(0, IWebInteractive::UpdateUserInfo());
    const wi::test::SettledLog requests = web.Requests();
    EXPECT_EQ(0, requests.Count("GET /user.xml "));
    EXPECT_EQ(0, requests.Count("POST"));
}

// Only "X:\..." on a fixed drive is a path the service may name; any other counts as none.
TEST_F(UserInfoTest, AnAnswerNamingNoAbsolutePathOnAFixedDriveLeavesThePath) {
    NginxPeer web;
    web.AddFile("user.xml", Fixture("answer_upper_case_root.xml"));
    Configure(web, "/user.xml");
    ASSERT_STREQ("C:\\store\\user.xml", IWebInteractive::ReadUserInfo());
    for (const std::string named :
         {"victim.txt", "dir\\x", "\\x", "C:x", "D:\\", "\\\\server\\share\\x", "Q:\\x", ""}) {
        web.AddFile("named.xml", "<user><qeluser>" + named + "</qeluser></user>");
        Configure(web, "/named.xml");
        EXPECT_STREQ("C:\\store\\user.xml", IWebInteractive::ReadUserInfo()) << named;
    }
}

TEST_F(UserInfoTest, AGb2312AnswerReachesTheHostInItsCodePage) {
    NginxPeer web;
    web.AddFile("user.xml", Fixture("answer_gb2312.xml"));
    Configure(web, "/user.xml");
    EXPECT_EQ(NarrowFromUtf8("C:\\软件\\用户.xml"), IWebInteractive::ReadUserInfo());
}

TEST_F(UserInfoTest, UpdateUserInfoAcceptsOnlyRepliesBeginningWithTrue) {
    WireServer service({WireReply::Http(200, "TRUE\r\n"), WireReply::Http(200, "true"),
                        WireReply::Http(200, "")});
    wi::frame::Configuration config;
    config.upUserUrl = service.Url("/up");
    config.machineNum = "7";
    wi::frame::SetConfig(config);

    EXPECT_EQ(1, IWebInteractive::UpdateUserInfo());
    EXPECT_EQ(0, IWebInteractive::UpdateUserInfo());
    EXPECT_EQ(0, IWebInteractive::UpdateUserInfo());
    ASSERT_EQ(3u, service.Requests().size());
    EXPECT_EQ(0u, service.Requests()[0].head.find("POST /up HTTP/1.1\r\n"));

    // A refused connection is a 0 too; every temporary document is gone either way.
    service.Stop();
    EXPECT_EQ(0, IWebInteractive::UpdateUserInfo());
    std::list<std::string> left;
    CXFileOperator::ListDirectory("C:\\users\\Public\\Documents", left);
    EXPECT_TRUE(left.empty());
}

TEST_F(UserInfoTest, TheUserInformationRecordStaysReset) {
    NginxPeer web;
    web.AddFile("info", "<info/>");

    IUserInfoInc::GetUserInfoFromServer(web.Url("/info").c_str(), "");
    IUserInfoInc::GetUserInfoFromServer(web.Url("/info").c_str(), nullptr);
    const IUserInfoInc::UserInfo& info =
        IUserInfoInc::GetUserInfoFromServer(web.Url("/info?a=b").c_str(), "PC1");
    EXPECT_EQ(std::vector<std::string>{"GET /info?a=b&computerID=PC1 200"}, web.RequestLines());
    for (const std::string* text : {&info.s1, &info.s2, &info.s3, &info.s4, &info.s5, &info.s6}) {
        EXPECT_EQ("", *text);
    }
    EXPECT_EQ(0, info.b1 + info.b2 + info.b3 + info.n);
    EXPECT_EQ(&info, &IUserInfoInc::GetUserInfoFromLocal());
    EXPECT_STREQ("", IUserInfoInc::CreateUserInfoXml(info, "text"));
    EXPECT_STREQ("", IUserInfoInc::GetComputerID());

    // A peer that never stops sending is cut off; the temporary answer goes all the same.
    WireServer trickler(
        {WireReply::Trickle("HTTP/1.1 200 OK\r\n", 'x', std::chrono::milliseconds(50))});
    wi::userinfo::RequestAndDiscard(trickler.Url("/info?computerID=PC1"), 2);
    EXPECT_EQ(1u, trickler.Requests().size());
    std::list<std::string> left;
    CXFileOperator::ListDirectory("C:\\users\\Public\\Documents", left);
    EXPECT_TRUE(left.empty());
    // One that sends fast stops soon after what the parser would take.
    WireServer flood({WireReply::Endless("HTTP/1.1 200 OK\r\n\r\n", 'x',
                                         wi::xml::kMaxFileBytes + 2 * wi::test::kUnreadSlack)});
    wi::userinfo::RequestAndDiscard(flood.Url("/info?computerID=PC1"), 60);
    flood.Stop();
    EXPECT_LT(flood.BytesSent(), wi::xml::kMaxFileBytes + wi::test::kUnreadSlack);
    CXFileOperator::ListDirectory("C:\\users\\Public\\Documents", left);
    EXPECT_TRUE(left.empty());

    // The user information file is only looked for, never written.
    EXPECT_EQ(0, IUserInfoInc::SaveUserInfoToLocal(info));
    EXPECT_FALSE(CXFileOperator::PathExists("C:\\windows\\Tavrex.xml"));
    MakeFile("C:\\windows\\Tavrex.xml");
    EXPECT_EQ(1, IUserInfoInc::SaveUserInfoToLocal(info));
    CXFileOperator::DeleteFile("C:\\windows\\Tavrex.xml");  // C: outlives the test on Windows
}

}  // namespace
