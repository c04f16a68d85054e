// The library and the host CLI reaching the reference service through nginx with the configuration
// that packaging/nginx/ ships: under the sub-path /webinteractive/, over https (the test's own
// certificate authority trusted) and over plain http, uploads behind Digest authentication, the
// service started as that configuration says.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <regex>
#include <stdexcept>
#include <string>

#include "e2e/e2e_support.h"
#include "platform/http.h"
#include "support/library_test.h"
#include "webinteractive/webinteractive.h"

namespace {

namespace fs = std::filesystem;
using wi::test::kCiba;
using wi::test::ServicePeer;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Replaces the one place of a text that the shipped configuration must hold.
void ReplaceIn(std::string& text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    if (at == std::string::npos) throw std::runtime_error("the configuration lost \"" + from + "\"");
    text.replace(at, from.size(), to);
}

// nginx with packaging/nginx/webinteractive-service.conf, changed only where a test must: its two
// ports on 127.0.0.1, the service's port and the certificate.
class NginxFront : public wi::test::PeerProcess {
public:
    explicit NginxFront(int servicePort) : PeerProcess("nginx", "nginx") {
        fs::create_directories(directory_ + "/tmp");
        const wi::test::TestCertificates certificates(directory_ + "/tls");
        const std::string dir = unixDirectory_;
        std::ofstream(directory_ + "/nginx.conf")
            << (wi::test::host::RunsAsRoot() ? "user root;\n" : "") << "daemon off;\n"
            << "worker_processes 1;\npid " << dir << "/nginx.pid;\n"
            << "events { worker_connections 256; }\nhttp {\n"
            << "    access_log " << dir << "/access.log;\n"
            << "    client_body_temp_path " << dir << "/tmp/body;\n"
            << "    proxy_temp_path " << dir << "/tmp/proxy;\n"
            << "    fastcgi_temp_path " << dir << "/tmp/fastcgi;\n"
            << "    uwsgi_temp_path " << dir << "/tmp/uwsgi;\n"
            << "    scgi_temp_path " << dir << "/tmp/scgi;\n"
            << "    include " << dir << "/site.conf;\n}\n";
        Launch([&](int port) {
            // The plain port is picked with the https one: nginx starts only when it has both.
            plainPort_ = wi::test::host::FreePort();
            std::string site = ReadText(WI_PACKAGING_DIR "/nginx/webinteractive-service.conf");
            ReplaceIn(site, "listen 443 ssl;",
                      "listen 127.0.0.1:" + std::to_string(port) + " ssl;");
            ReplaceIn(site, "listen 80;", "listen 127.0.0.1:" + std::to_string(plainPort_) + ";");
            ReplaceIn(site, "server 127.0.0.1:8080;",
                      "server 127.0.0.1:" + std::to_string(servicePort) + ";");
            ReplaceIn(site, "/etc/ssl/certs/service.example.org.pem",
                      wi::test::host::UnixPath(certificates.CertificateFile()));
            ReplaceIn(site, "/etc/ssl/private/service.example.org.key",
                      wi::test::host::UnixPath(certificates.KeyFile()));
            std::ofstream(directory_ + "/site.conf") << site;
            return std::vector<std::string>{"-p", dir + "/", "-c", dir + "/nginx.conf", "-e",
                                            dir + "/error.log"};
        });
    }
    // The plain listener: where the test's own sentinel requests go.
    std::string Url(const std::string& path) const override {
        return "http://127.0.0.1:" + std::to_string(plainPort_) + path;
    }
    std::string Https(const std::string& path, const std::string& credentials = "") const {
        return "https://" + credentials + "127.0.0.1:" + std::to_string(port_) +
               "/webinteractive" + path;
    }
    std::string Http(const std::string& path, const std::string& credentials = "") const {
        return "http://" + credentials + "127.0.0.1:" + std::to_string(plainPort_) +
               "/webinteractive" + path;
    }
    std::string CaFile() const { return directory_ + "/tls/ca.pem"; }

private:
    int plainPort_ = 0;
};

class ThroughNginxTest : public wi::test::LibraryTest {
protected:
    ThroughNginxTest()
        : service_({"--public-url", "https://service.example.org/webinteractive/",
                    "--trust-proxy", "--max-per-address", "0", "--user", "alice:s3cret"}),
          front_(service_.port()) {
        wi::test::AddDemoData(service_);
    }
    void SetUp() override { wi::platform::SetTrustedCaFile(front_.CaFile()); }
    void TearDown() override {
        wi::platform::SetTrustedCaFile("");
        if (HasFailure()) std::cout << service_.Output() << front_.Logs();
        LibraryTest::TearDown();
    }
    const std::string setup_ = wi::test::FileBytes(2 * 1024 * 1024 + 17, 2);
    ServicePeer service_;
    NginxFront front_;
};

TEST_F(ThroughNginxTest, TheLibraryUploadsAndDownloadsOverHttpsUnderTheSubPath) {
    const std::string upload = front_.Https("/upload/softlist", "alice:s3cret@");
    ASSERT_EQ(1, IWebInteractive::UploadSoftList(upload.c_str(), {{kCiba, "ciba", "2"}}));
    const auto& ids = IWebInteractive::DownloadSoftList(front_.Https("/softlist").c_str());
    ASSERT_EQ(1u, ids.size());
    EXPECT_EQ(kCiba, ids.begin()->GUID);

    // The locator names the file under the sub-path, by https and nginx's port.
    char path[300] = "";
    ASSERT_EQ(1, IWebInteractive::DownloadInstallFile(front_.Https("/install").c_str(), "ciba",
                                                      "setup\\ciba_setup.exe", path, nullptr));
    EXPECT_EQ(setup_, wi::test::ReadFile(machine_, path));
    EXPECT_EQ(1, front_.Requests().CountContaining(
                     "\"GET /webinteractive/files/setup/ciba_setup.exe HTTP/1.1\" 200"));
    // The size probe speaks plain http only: it goes through the plain listener.
    EXPECT_EQ(2 * 1024 * 1024 + 17, IWebInteractive::GetDownloadSize(
                                        front_.Http("/size").c_str(), "setup/ciba_setup.exe"));

    const wi::test::SettledLog requests = service_.Requests();
    EXPECT_EQ(1, requests.Count("POST /upload/softlist 401"));
    EXPECT_EQ(1, requests.Count("POST /upload/softlist 200"));
    EXPECT_EQ(1, requests.Count("GET /install?filename=setup%5cciba%5fsetup%2eexe 200"));
    EXPECT_EQ(1, requests.Count("GET /files/setup/ciba_setup.exe 200 2097169"));
    EXPECT_EQ(1, requests.Count("HEAD /files/setup/ciba_setup.exe 200 0"));
}

TEST_F(ThroughNginxTest, TheCliGoesThroughThePlainListener) {
    const std::string softwares = std::string(WI_TEST_FIXTURES) + "/softwares.xml";
    const auto run = [this](const std::vector<std::string>& arguments) {
        const wi::test::CliRun result = wi::test::RunCli(machine_, arguments);
        EXPECT_EQ(0, result.exit) << result.out << result.err;
        return result;
    };
    run({"softlist", "upload", "--list", softwares, "--url",
         front_.Http("/upload/softlist", "alice:s3cret@")});
    EXPECT_TRUE(run({"softlist", "download", "--url", front_.Http("/softlist")}).Printed(kCiba));
    const wi::test::CliRun install =
        run({"download", "install", "--url", front_.Http("/install"), "--subdir", "ciba",
             "--name", "setup\\ciba_setup.exe"});
    static const std::regex windowsPath("[A-Z]:\\\\[^\n\"]*ciba_setup\\.exe");
    std::smatch saved;
    ASSERT_TRUE(std::regex_search(install.out, saved, windowsPath)) << install.out;
    EXPECT_EQ(setup_, wi::test::ReadFile(machine_, saved.str()));
    EXPECT_EQ(1, front_.Requests().CountContaining(
                     "\"GET /webinteractive/files/setup/ciba_setup.exe HTTP/1.1\" 200"));
    const wi::test::SettledLog requests = service_.Requests();
    EXPECT_EQ(1, requests.Count("POST /upload/softlist 200"));
    EXPECT_EQ(1, requests.Count("GET /files/setup/ciba_setup.exe 200 2097169"));
}

}  // namespace
