// UploadFile against real peers: nginx (plain, TLS, Basic), apache2 (Digest), tinyproxy (proxy).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/http.h"
#include "platform/proxy.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/status.h"
#include "webinteractive/transfer.h"

namespace {

using wi::test::ApacheDigestPeer;
using wi::test::NginxPeer;
using wi::test::TinyproxyPeer;

constexpr const char* kSuccess = "\nThe POST was successfully completed.";
constexpr const char* kServerAuth = "\nThe server requires authentication.  Sending credentials...";
constexpr const char* kServerFailed = "\nServer Authentication failed.";
constexpr const char* kProxyAuth = "\nThe proxy requires authentication.  Sending credentials...";
constexpr const char* kProxyFailed = "\nProxy Authentication failed.";

// "http://127.0.0.1:1/x" with "user:password@" put in front of the host.
std::string WithCredentials(const std::string& url, const std::string& user,
                            const std::string& password) {
    const std::size_t host = url.find("://") + 3;
    return url.substr(0, host) + user + ":" + password + "@" + url.substr(host);
}

class UploadFileTest : public testing::Test {
protected:
    void SetUp() override {
        IHelperInc::SetStatusSink(&UploadFileTest::Collect, &lines_);
        std::memset(reply_, 'x', sizeof reply_);
    }
    void TearDown() override {
        IHelperInc::SetStatusSink(nullptr, nullptr);
        wi::platform::SetTrustedCaFile("");
        wi::platform::SetProxyListForTesting("");
    }
    static void Collect(const char* line, void* context) {
        static_cast<std::vector<std::string>*>(context)->push_back(line);
    }
    // Writes the file on drive C: and returns its Windows path.
    std::string MakeFile(const std::string& name, const std::string& content) const {
        wi::test::TempMachine::WriteHostFile(machine_.HostPath("C:\\" + name), content);
        return "C:\\" + name;
    }
    // Uploads with stdout captured into out_.
    int Upload(const std::string& url, const std::string& path, const char* name = nullptr) {
        testing::internal::CaptureStdout();
        const int result =
            IWebInteractive::UploadFile(url.c_str(), path.c_str(), reply_, name, nullptr);
        out_ = testing::internal::GetCapturedStdout();
        return result;
    }

    wi::test::TempMachine machine_;
    std::vector<std::string> lines_;
    char reply_[1024];
    std::string out_;
};

TEST_F(UploadFileTest, PostsTheFileBytesAsTheyAre) {
    NginxPeer web;
    std::string content(3 * 4096 + 100, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 31);
    const std::string path = MakeFile("data.bin", content);
    const std::string url = web.Url("/upload?machinenum=7");

    ASSERT_EQ(1, Upload(url, path));
    EXPECT_STREQ("TRUE", reply_);
    EXPECT_EQ(kSuccess, out_);
    ASSERT_EQ(1u, lines_.size());
    EXPECT_EQ("开始上传文件 data.bin 到 " + url + "...", lines_[0]);
    ASSERT_EQ(1u, web.ReceivedBodies().size());
    EXPECT_EQ(content, web.ReceivedBodies()[0]);
    // The headers as they arrived: no Content-Type, no Expect, our agent, the whole length.
    EXPECT_TRUE(web.AccessLogHas("POST /upload?machinenum=7 200 ctype=[-] expect=[-] "
                                 "ua=[WinHttpPostSample] accept=[*/*] length=[12388] "
                                 "auth=[-] via=[-] te=[-]"))
        << web.AccessLog();
}

TEST_F(UploadFileTest, AMissingFileIsPostedEmpty) {
    NginxPeer web;
    ASSERT_EQ(1, Upload(web.Url("/upload"), "C:\\nothing.xml", "Doc"));
    EXPECT_STREQ("TRUE", reply_);
    EXPECT_EQ("开始上传文件 Doc 到 " + web.Url("/upload") + "...", lines_[0]);
    EXPECT_TRUE(web.AccessLogHas("POST /upload 200 ctype=[-]")) << web.AccessLog();
    EXPECT_TRUE(web.AccessLogHas("length=[0]")) << web.AccessLog();
}

TEST_F(UploadFileTest, OtherStatusCodesStillCompleteTheExchange) {
    NginxPeer web;
    const std::string path = MakeFile("a.xml", "<a/>");

    ASSERT_EQ(1, Upload(web.Url("/no/such/service"), path));
    EXPECT_EQ("\nStatus code 404 returned.\n", out_);
    EXPECT_NE(nullptr, std::strstr(reply_, "404 Not Found"));

    // A reply longer than the buffer keeps its first 1023 bytes and a zero.
    ASSERT_EQ(1, Upload(web.Url("/long"), path));
    EXPECT_EQ(std::string(1023, 'L'), std::string(reply_));
}

TEST_F(UploadFileTest, FailuresBeforeAnyResponseGiveZero) {
    const std::string path = MakeFile("a.xml", "<a/>");
    EXPECT_EQ(0, Upload("not an address", path));
    EXPECT_EQ(0, Upload("ftp://127.0.0.1/x", path));
    EXPECT_EQ(0, Upload("http://127.0.0.1:0/x", path));
    EXPECT_EQ('x', reply_[0]);  // nothing written to the reply

    std::string closedUrl;
    {
        NginxPeer web;
        closedUrl = web.Url("/upload");
    }
    EXPECT_EQ(0, Upload(closedUrl, path));
    // A discovered proxy whose address cannot be used.
    wi::platform::SetProxyListForTesting("127.0.0.1:web");
    EXPECT_EQ(0, Upload("http://127.0.0.1:1/x", path));
    EXPECT_EQ('x', reply_[0]);
    EXPECT_EQ(5u, lines_.size());  // only the start lines
}

TEST_F(UploadFileTest, BasicCredentialsGoOnlyOverTls) {
    NginxPeer secure(/*tls=*/true);
    wi::platform::SetTrustedCaFile(secure.CaFile());
    const std::string path = MakeFile("s.xml", "<secret/>");
    const std::string url = WithCredentials(secure.Url("/secure/post"), NginxPeer::kBasicUser,
                                            NginxPeer::kBasicPassword);

    ASSERT_EQ(1, Upload(url, path));
    EXPECT_STREQ("TRUE", reply_);
    EXPECT_EQ(std::string(kServerAuth) + kSuccess, out_);
    ASSERT_EQ(1u, secure.ReceivedBodies().size());
    EXPECT_EQ("<secret/>", secure.ReceivedBodies()[0]);

    // Plain http: Basic is offered but not used, so the 401 is the final answer.
    NginxPeer plain;
    const std::string plainUrl = WithCredentials(plain.Url("/secure/post"), NginxPeer::kBasicUser,
                                                 NginxPeer::kBasicPassword);
    ASSERT_EQ(1, Upload(plainUrl, path));
    EXPECT_EQ(kServerAuth, out_);
    EXPECT_NE(nullptr, std::strstr(reply_, "401"));
    EXPECT_TRUE(plain.AccessLogHas("POST /secure/post 401"));
    EXPECT_EQ(std::string::npos, plain.AccessLog().find("auth=[Basic"));
}

TEST_F(UploadFileTest, WrongCredentialsEndAfterTheSecondChallenge) {
    NginxPeer secure(/*tls=*/true);
    wi::platform::SetTrustedCaFile(secure.CaFile());
    const std::string path = MakeFile("s.xml", "<secret/>");

    ASSERT_EQ(1, Upload(WithCredentials(secure.Url("/secure/post"), "alice", "wrong"), path));
    EXPECT_EQ(std::string(kServerAuth) + kServerAuth + kServerFailed, out_);
    EXPECT_NE(nullptr, std::strstr(reply_, "401"));
    EXPECT_TRUE(secure.ReceivedBodies().empty());
}

TEST_F(UploadFileTest, UntrustedServerCertificateGivesZero) {
    NginxPeer secure(/*tls=*/true);  // its authority is not trusted
    EXPECT_EQ(0, Upload(secure.Url("/upload"), MakeFile("a.xml", "<a/>")));
    EXPECT_TRUE(secure.ReceivedBodies().empty());
}

// How often the text occurs in a peer's log.
std::size_t CountOf(const std::string& log, const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
        ++count;
    }
    return count;
}

// Every pass is one request with the whole body: the answer to the challenge rides on the
// request after it, with no empty probe in between.
TEST_F(UploadFileTest, DigestAgainstApacheTakesOneRequestPerPass) {
    ApacheDigestPeer apache;
    const std::string path = MakeFile("d.xml", "<digest/>");
    const std::string url = apache.Url("/digest/upload");

    ASSERT_EQ(1, Upload(WithCredentials(url, ApacheDigestPeer::kDigestUser,
                                        ApacheDigestPeer::kDigestPassword),
                        path));
    EXPECT_EQ(std::string(kServerAuth) + kSuccess, out_);
    EXPECT_STREQ("TRUE", reply_);
    ASSERT_TRUE(apache.AccessLogHas("POST /digest/upload 200")) << apache.AccessLog();
    const std::string log = apache.AccessLog();
    EXPECT_EQ(2u, CountOf(log, "POST ")) << log;
    EXPECT_EQ(0u, log.find("POST /digest/upload 401 length=[9] auth=[-]\n"
                           "POST /digest/upload 200 length=[9] auth=[Digest username="))
        << log;

    ASSERT_EQ(1, Upload(WithCredentials(url, ApacheDigestPeer::kDigestUser, "nope"), path));
    EXPECT_EQ(std::string(kServerAuth) + kServerAuth + kServerFailed, out_);
    ASSERT_TRUE(apache.AccessLogHas("POST /digest/upload 401 length=[9] auth=[Digest"));
    EXPECT_EQ(4u, CountOf(apache.AccessLog(), "POST ")) << apache.AccessLog();
    EXPECT_EQ(0u, CountOf(apache.AccessLog(), "length=[0]")) << apache.AccessLog();
}

TEST_F(UploadFileTest, GoesThroughTheDiscoveredProxy) {
    NginxPeer web;
    TinyproxyPeer proxy;
    wi::platform::SetProxyListForTesting("127.0.0.1:" + std::to_string(proxy.port()) +
                                         ";127.0.0.1:1");
    const std::string path = MakeFile("p.xml", "<proxied/>");

    ASSERT_EQ(1, Upload(web.Url("/upload"), path));
    EXPECT_STREQ("TRUE", reply_);
    EXPECT_EQ("<proxied/>", web.ReceivedBodies().at(0));
    EXPECT_TRUE(web.AccessLogHas("(tinyproxy/")) << web.AccessLog();

    // A name without a dot is local and goes direct.
    std::string local = web.Url("/upload");
    local.replace(local.find("127.0.0.1"), 9, "localhost");
    ASSERT_EQ(1, Upload(local, path));
    EXPECT_TRUE(web.AccessLogHas("via=[-]"));
}

// Sets an environment variable for the life of the object, or removes it (value nullptr).
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        had_ = std::getenv(name) != nullptr;
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnvironment() {
        had_ ? setenv(name_.c_str(), old_.c_str(), 1) : unsetenv(name_.c_str());
    }

private:
    std::string name_;
    std::string old_;
    bool had_ = false;
};

// Without a discovered proxy the system's proxy settings apply; a discovered proxy wins.
TEST_F(UploadFileTest, FollowsTheEnvironmentsProxyUnlessOneIsDiscovered) {
    NginxPeer web;
    TinyproxyPeer proxy;
    const std::string proxyUrl = "http://127.0.0.1:" + std::to_string(proxy.port());
    ScopedEnvironment httpProxy("http_proxy", proxyUrl.c_str());
    ScopedEnvironment allProxy("all_proxy", nullptr);
    ScopedEnvironment noProxy("no_proxy", nullptr);
    ScopedEnvironment noProxyUpper("NO_PROXY", nullptr);
    const std::string path = MakeFile("e.xml", "<env/>");

    ASSERT_EQ(1, Upload(web.Url("/upload"), path));
    EXPECT_STREQ("TRUE", reply_);
    const std::string proxied = "POST " + web.Url("/upload") + " HTTP/1.1";
    EXPECT_EQ(1u, CountOf(proxy.Log(), proxied)) << proxy.Log();

    {
        ScopedEnvironment bypass("no_proxy", "127.0.0.1");
        ASSERT_EQ(1, Upload(web.Url("/upload"), path));
        ASSERT_TRUE(web.AccessLogHas("POST /upload 200 ctype=[-] expect=[-] ua=[WinHttpPostSample] "
                                     "accept=[*/*] length=[6] auth=[-] via=[-]"))
            << web.AccessLog();
    }

    // A discovered proxy is used instead, and local names bypass it and the environment alike.
    ScopedEnvironment deadProxy("http_proxy", "http://127.0.0.1:1");
    wi::platform::SetProxyListForTesting("127.0.0.1:" + std::to_string(proxy.port()));
    ASSERT_EQ(1, Upload(web.Url("/upload"), path));
    std::string local = web.Url("/upload");
    local.replace(local.find("127.0.0.1"), 9, "localhost");
    ASSERT_EQ(1, Upload(local, path));
    EXPECT_EQ(4u, web.ReceivedBodies().size());
    EXPECT_EQ(2u, CountOf(proxy.Log(), proxied)) << proxy.Log();
}

TEST_F(UploadFileTest, ProxyCredentialsAreSentOnlyOverTls) {
    NginxPeer plain;
    NginxPeer secure(/*tls=*/true);
    wi::platform::SetTrustedCaFile(secure.CaFile());
    TinyproxyPeer proxy({"proxyuser", "proxypass"});
    wi::platform::SetProxyListForTesting("proxyuser:proxypass@127.0.0.1:" +
                                         std::to_string(proxy.port()));
    const std::string path = MakeFile("p.xml", "<proxied/>");

    ASSERT_EQ(1, Upload(plain.Url("/upload"), path)) << proxy.Log();
    EXPECT_EQ(std::string(kProxyAuth) + kProxyAuth + kProxyFailed, out_);
    EXPECT_TRUE(plain.ReceivedBodies().empty());

    ASSERT_EQ(1, Upload(secure.Url("/upload"), path));
    EXPECT_EQ(std::string(kProxyAuth) + kSuccess, out_);
    EXPECT_STREQ("TRUE", reply_);
    EXPECT_EQ("<proxied/>", secure.ReceivedBodies().at(0));
}

}  // namespace
