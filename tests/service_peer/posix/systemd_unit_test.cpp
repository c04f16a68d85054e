// The systemd unit of packaging/: systemd reads it without complaint, and its command line, with
// its settings and a credential as systemd hands them over, starts the service, which tells
// systemd when it is ready and when it stops (Type=notify).
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "service_peer/started_service.h"

namespace {

const std::string kUnit = WI_PACKAGING_DIR "/webinteractive-service.service";

// The unit's settings: each "Key=value" line (Environment= once per variable), in order.
std::multimap<std::string, std::string> ReadUnit() {
    std::multimap<std::string, std::string> settings;
    std::ifstream in(kUnit);
    for (std::string line; std::getline(in, line);) {
        const auto equals = line.find('=');
        if (line.empty() || line[0] == '#' || line[0] == '[' || equals == std::string::npos) continue;
        settings.emplace(line.substr(0, equals), line.substr(equals + 1));
    }
    return settings;
}

// ExecStart's words with the variables put in as systemd does: "${NAME}" as it stands, a word
// that is just "$NAME" split at blanks.
std::vector<std::string> CommandLine(const std::string& execStart,
                                     const std::map<std::string, std::string>& variables) {
    std::vector<std::string> words;
    std::istringstream in(execStart);
    for (std::string word; in >> word;) {
        if (word[0] == '$' && word[1] != '{') {
            std::istringstream split(variables.at(word.substr(1)));
            for (std::string part; split >> part;) words.push_back(part);
            continue;
        }
        for (auto at = word.find("${"); at != std::string::npos; at = word.find("${")) {
            const auto end = word.find('}', at);
            word.replace(at, end + 1 - at, variables.at(word.substr(at + 2, end - at - 2)));
        }
        words.push_back(word);
    }
    return words;
}

// The socket systemd listens on for a service's notices ($NOTIFY_SOCKET).
class NotifySocket {
public:
    explicit NotifySocket(const std::string& path)
        : path_(path), socket_(::socket(AF_UNIX, SOCK_DGRAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        bound_ = bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~NotifySocket() { close(socket_); }
    bool bound() const { return bound_; }
    // The next notice, waiting up to the hang guard; "" when none came.
    std::string Next() {
        pollfd watched{socket_, POLLIN, 0};
        if (poll(&watched, 1, 15000) <= 0) return "";
        char notice[4096];
        const ssize_t got = recv(socket_, notice, sizeof notice, 0);
        return got > 0 ? std::string(notice, static_cast<std::size_t>(got)) : "";
    }

private:
    std::string path_;
    int socket_;
    bool bound_ = false;
};

class SystemdUnitTest : public testing::Test {
protected:
    SystemdUnitTest() : folder_(wi::test::MakeTempDirectory("wi-service-unit")) {}
    ~SystemdUnitTest() override { wi::test::RemoveHostTree(folder_); }
    std::string folder_;
};

TEST_F(SystemdUnitTest, SystemdReadsTheUnitWithoutComplaint) {
    wi::test::FindProgram("systemd-analyze");
    // systemd checks that the program exists: the one of this build in its place.
    std::ifstream in(kUnit);
    std::string unit((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto program = unit.find("/usr/local/bin/webinteractive-service");
    ASSERT_NE(std::string::npos, program);
    unit.replace(program, std::strlen("/usr/local/bin/webinteractive-service"), WI_SERVICE_PROGRAM);
    std::ofstream(folder_ + "/webinteractive-service.service") << unit;
    EXPECT_EQ("exit 0\n", wi::test::RunShell("systemd-analyze verify --man=no '" + folder_ +
                                             "/webinteractive-service.service' 2>&1; echo \"exit $?\""));
}

TEST_F(SystemdUnitTest, ItsCommandLineStartsTheServiceWhichTellsWhenReadyAndWhenStopping) {
    const auto settings = ReadUnit();
    ASSERT_EQ("notify", settings.find("Type")->second);
    std::map<std::string, std::string> variables;
    for (auto [it, end] = settings.equal_range("Environment"); it != end; ++it) {
        const auto equals = it->second.find('=');
        variables[it->second.substr(0, equals)] = it->second.substr(equals + 1);
    }
    // What systemd would provide: the state folder, the credential, the notice socket. The port
    // is any free one, and the program is this build's.
    variables["WEBINTERACTIVE_DATA"] = folder_ + "/data";
    std::filesystem::create_directories(folder_ + "/data");
    variables["WEBINTERACTIVE_PORT"] = "0";
    const std::string credential = settings.find("LoadCredential")->second;
    std::filesystem::create_directories(folder_ + "/credentials");
    std::ofstream(folder_ + "/credentials/" + credential.substr(0, credential.find(':')))
        << "alice:s3cret\n";
    variables["CREDENTIALS_DIRECTORY"] = folder_ + "/credentials";
    NotifySocket notices(folder_ + "/notify");
    ASSERT_TRUE(notices.bound());

    std::vector<std::string> arguments = CommandLine(settings.find("ExecStart")->second, variables);
    ASSERT_EQ("/usr/local/bin/webinteractive-service", arguments.front());
    arguments.erase(arguments.begin());
    wi::test::StartedService service(arguments, {"NOTIFY_SOCKET=" + folder_ + "/notify"});
    EXPECT_EQ("READY=1\nSTATUS=listening on 127.0.0.1:" + std::to_string(service.port()) +
                  ", data in " + std::filesystem::canonical(folder_ + "/data").string(),
              notices.Next());
    EXPECT_EQ("200", wi::test::RunShell(
                         "curl -s -o /dev/null -w '%{http_code}' --digest -u alice:s3cret "
                         "--data-binary '<log/>' '" + service.Url("/upload/log") + "'"));
    service.Stop();
    EXPECT_EQ("STOPPING=1", notices.Next());
}

}  // namespace
