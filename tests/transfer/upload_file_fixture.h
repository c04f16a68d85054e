// The fixture of the UploadFile tests against real peers: a machine, the status lines, the reply
// buffer and what the upload printed.
#pragma once

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

namespace wi::test::upload {

using wi::test::ApacheDigestPeer;
using wi::test::NginxPeer;
using wi::test::TinyproxyPeer;

constexpr const char* kSuccess = "\nThe POST was successfully completed.";
constexpr const char* kServerAuth = "\nThe server requires authentication.  Sending credentials...";
constexpr const char* kServerFailed = "\nServer Authentication failed.";
constexpr const char* kProxyAuth = "\nThe proxy requires authentication.  Sending credentials...";
constexpr const char* kProxyFailed = "\nProxy Authentication failed.";

// "http://127.0.0.1:1/x" with "user:password@" put in front of the host.
inline std::string WithCredentials(const std::string& url, const std::string& user,
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

}  // namespace wi::test::upload
