// webinteractive-service run as an operator runs it: its help and version, its data folder and
// port, where its password comes from, its request log and the addresses it answers behind a
// proxy.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "service_peer.h"
#include "started_service.h"

namespace {

using wi::test::RunShell;
using wi::test::ServicePeer;
using wi::test::StartedService;

// Runs the program with these arguments (a shell text); its output, both streams, and "exit N".
std::string RunProgram(const std::string& arguments) {
    return RunShell("'" WI_SERVICE_PROGRAM "' " + arguments + " 2>&1; echo \"exit $?\"");
}

std::string StandardOutputOf(const std::string& arguments) {
    return RunShell("'" WI_SERVICE_PROGRAM "' " + arguments + " 2>/dev/null; echo \"exit $?\"");
}

class ServiceProgramTest : public testing::Test {
protected:
    ServiceProgramTest() : folder_(wi::test::MakeTempDirectory("wi-service-program")) {}
    ~ServiceProgramTest() override { wi::test::RemoveHostTree(folder_); }
    // A data folder of the test with one file to serve.
    std::string DataFolder() const {
        std::filesystem::create_directories(folder_ + "/data/files");
        std::ofstream(folder_ + "/data/files/a.txt") << "hello";
        return folder_ + "/data";
    }
    std::string folder_;
};

TEST_F(ServiceProgramTest, HelpAndVersionAnswerOnStandardOutput) {
    const std::string help = StandardOutputOf("--help");
    EXPECT_EQ(0u, help.find("usage: webinteractive-service --data DIR")) << help;
    for (const char* option : {"--user-file FILE", "--public-url URL", "--trust-proxy",
                               "--create-data", "--header-timeout", "--max-per-address"}) {
        EXPECT_NE(std::string::npos, help.find(option)) << option;
    }
    EXPECT_EQ("exit 0\n", help.substr(help.size() - 7));
    EXPECT_TRUE(std::regex_match(StandardOutputOf("--data x --version"),
                                 std::regex("webinteractive-service \\d+\\.\\d+\\.\\d+\nexit 0\n")));
    EXPECT_EQ(0u, RunProgram("--data x --port")
                      .find("webinteractive-service: --port needs a value\nusage: "));
}

TEST_F(ServiceProgramTest, AMissingDataFolderIsAnErrorUnlessItIsToBeMade) {
    const std::string missing = folder_ + "/new/data";
    const std::string refused = RunProgram("--data '" + missing + "' --port 0");
    EXPECT_EQ(0u, refused.find("webinteractive-service: the data folder " + missing +
                               " does not exist (give --create-data to make it)\nusage: "))
        << refused;
    EXPECT_EQ("exit 2\n", refused.substr(refused.size() - 7));
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/new"));

    StartedService service({"--data", missing, "--create-data", "--port", "0"});
    EXPECT_TRUE(std::filesystem::is_directory(missing + "/uploads"));
}

TEST_F(ServiceProgramTest, APortAlreadyTakenEndsWithOneLineAndStatusOne) {
    ServicePeer first;
    const auto run =
        RunProgram("--data '" + first.Data() + "' --port " + std::to_string(first.port()));
    EXPECT_EQ("webinteractive-service: cannot listen on 127.0.0.1:" + std::to_string(first.port()) +
                  " (in use or not available)\nexit 1\n",
              run);
}

TEST_F(ServiceProgramTest, PortZeroPrintsThePortBoundAndIPv6AddressesAreBracketed) {
    const std::string data = DataFolder();
    StartedService v4({"--data", data, "--port", "0"});
    EXPECT_EQ("127.0.0.1", v4.host());
    EXPECT_EQ("hello", RunShell("curl -s '" + v4.Url("/files/a.txt") + "'"));

    if (!std::ifstream("/proc/net/if_inet6")) GTEST_SKIP() << "this machine has no IPv6";
    StartedService v6({"--data", data, "--listen", "::1", "--port", "0"});
    EXPECT_EQ("[::1]", v6.host());
    const std::string base = "http://[::1]:" + std::to_string(v6.port());
    EXPECT_EQ(base + "/files/a.txt", RunShell("curl -s -g '" + base + "/install?filename=a.txt'"));
    // A request without a Host header gets the listening address, bracketed too.
    EXPECT_EQ(base + "/files/a.txt",
              RunShell("curl -s -g -H 'Host:' '" + base + "/install?filename=a.txt'"));
}

TEST_F(ServiceProgramTest, TheUploadPasswordComesFromAFileOrTheEnvironment) {
    const std::string data = DataFolder();
    const std::string userFile = folder_ + "/user";
    std::ofstream(userFile) << "alice:s3cret:with colon\n";
    const auto post = [](const StartedService& service, const std::string& credentials) {
        return RunShell("curl -s -o /dev/null -w '%{http_code}' --digest -u '" + credentials +
                        "' --data-binary '<log/>' '" + service.Url("/upload/log") + "'");
    };
    {
        StartedService service({"--data", data, "--port", "0", "--user-file", userFile});
        EXPECT_EQ("200", post(service, "alice:s3cret:with colon"));
        EXPECT_EQ("401", post(service, "alice:s3cret"));
    }
    {
        StartedService service({"--data", data, "--port", "0"},
                               {"WEBINTERACTIVE_SERVICE_USER=bob:builder"});
        EXPECT_EQ("200", post(service, "bob:builder"));
        EXPECT_EQ("401", post(service, "alice:s3cret:with colon"));
    }
    EXPECT_NE(std::string::npos,
              RunProgram("--data '" + data + "' --port 0 --user a:b --user-file '" + userFile + "'")
                  .find("give --user or --user-file, not both\n"));
    EXPECT_NE(std::string::npos,
              RunProgram("--data '" + data + "' --port 0 --user-file '" + folder_ + "/none'")
                  .find("cannot read --user-file " + folder_ + "/none: No such file or directory"));
}

TEST_F(ServiceProgramTest, EachAnswerIsLoggedInTheCombinedFormatWithItsDuration) {
    ServicePeer service;
    service.AddFile("files/a.txt", "hello");
    RunShell("curl -s -o /dev/null -e http://referrer.example/ -A 'tester/1 \"quoted\"' '" +
             service.Url("/files/a.txt") + "'");
    RunShell("curl -s -o /dev/null -I '" + service.Url("/files/a.txt") + "'");
    RunShell("curl -s -o /dev/null -r 1-2 '" + service.Url("/files/a.txt") + "'");
    RunShell("curl -s -o /dev/null '" + service.Url("/files/%22x%22") + "'");
    ASSERT_EQ(4, service.Requests().Count(""));

    const std::string time = R"(\[\d\d/[A-Z][a-z][a-z]/\d{4}:\d\d:\d\d:\d\d [+-]\d{4}\])";
    const std::string lines = service.OutputWithoutSentinels();
    const std::regex expected(
        "listening on [^\n]*\n"
        "127\\.0\\.0\\.1 - - " + time + R"( "GET /files/a\.txt HTTP/1\.1" 200 5 )"
        R"("http://referrer\.example/" "tester/1 \\x22quoted\\x22" \d+\.\d{3}\n)"
        "127\\.0\\.0\\.1 - - " + time + R"( "HEAD /files/a\.txt HTTP/1\.1" 200 0 "-" "curl/[^"]*" \d+\.\d{3}\n)"
        "127\\.0\\.0\\.1 - - " + time + R"( "GET /files/a\.txt HTTP/1\.1" 206 2 "-" "curl/[^"]*" \d+\.\d{3}\n)"
        "127\\.0\\.0\\.1 - - " + time + R"( "GET /files/%22x%22 HTTP/1\.1" 404 10 "-" "curl/[^"]*" \d+\.\d{3}\n)");
    EXPECT_TRUE(std::regex_match(lines, expected)) << lines;
}

TEST_F(ServiceProgramTest, LocatorsAnswerWithThePublicAddressAndTrustedForwardedHeaders) {
    const std::string locate = "/install?filename=a.txt";
    const std::string forwarded =
        " -H 'X-Forwarded-Proto: https' -H 'X-Forwarded-Host: proxy.example:8443'"
        " -H 'X-Forwarded-For: 203.0.113.9'";
    {
        ServicePeer service({"--public-url", "https://example.org/webinteractive"});
        service.AddFile("files/a.txt", "hello");
        // Forwarded headers count only from a proxy the service is told to trust.
        EXPECT_EQ("https://example.org/webinteractive/files/a.txt",
                  RunShell("curl -s" + forwarded + " '" + service.Url(locate) + "'"));
        // The request's log line is written after its answer: settled by Requests().
        EXPECT_EQ(1, service.Requests().Count(""));
        EXPECT_TRUE(service.Output().find("\n127.0.0.1 - - [") != std::string::npos);
    }
    ServicePeer service({"--public-url", "http://example.org/wi/", "--trust-proxy"});
    service.AddFile("files/a.txt", "hello");
    EXPECT_EQ("https://proxy.example:8443/wi/files/a.txt",
              RunShell("curl -s" + forwarded + " '" + service.Url(locate) + "'"));
    EXPECT_EQ(1, service.Requests().Count(""));
    EXPECT_NE(std::string::npos, service.Output().find("\n203.0.113.9 - - ["));
    // A forwarded host that is no plain host name is not echoed.
    EXPECT_EQ("http://example.org/wi/files/a.txt",
              RunShell("curl -s -H 'X-Forwarded-Host: evil.example/x?' '" + service.Url(locate) +
                       "'"));
    EXPECT_NE(std::string::npos,
              RunProgram("--data . --port 0 --public-url ftp://example.org/")
                  .find("--public-url needs an address http(s)://HOST[:PORT][/PATH]"));
}

}  // namespace
