// UploadFile and the proxy settings of a posix system: the proxy variables of the environment.
#include <cstdlib>

#include "transfer/upload_file_fixture.h"

namespace {

using namespace wi::test::upload;

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
    EXPECT_EQ(1, proxy.Requests().CountContaining(proxied)) << proxy.Log();

    {
        ScopedEnvironment bypass("no_proxy", "127.0.0.1");
        ASSERT_EQ(1, Upload(web.Url("/upload"), path));
        const std::vector<std::string> uploads = web.Requests().Starting("POST /upload ");
        ASSERT_EQ(2u, uploads.size());
        EXPECT_EQ(0u, uploads[1].find("POST /upload 200 ctype=[-] expect=[-] "
                                      "ua=[WinHttpPostSample] accept=[*/*] length=[6] auth=[-] "
                                      "via=[-]"))
            << uploads[1];
    }

    // A discovered proxy is used instead, and local names bypass it and the environment alike.
    ScopedEnvironment deadProxy("http_proxy", "http://127.0.0.1:1");
    wi::platform::SetProxyListForTesting("127.0.0.1:" + std::to_string(proxy.port()));
    ASSERT_EQ(1, Upload(web.Url("/upload"), path));
    std::string local = web.Url("/upload");
    local.replace(local.find("127.0.0.1"), 9, "localhost");
    ASSERT_EQ(1, Upload(local, path));
    EXPECT_EQ(4u, web.ReceivedBodies().size());
    EXPECT_EQ(2, proxy.Requests().CountContaining(proxied)) << proxy.Log();
}

}  // namespace
