// webinteractive-service of this build, started by a test on 127.0.0.1 and a free port with a
// data directory of its own, and stopped when the object goes.
#pragma once

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/peers.h"

namespace wi::test {

class ServicePeer : public PeerProcess {
public:
    explicit ServicePeer(std::vector<std::string> extraArguments = {})
        : PeerProcess("service", WI_SERVICE_PROGRAM) {
        std::filesystem::create_directories(Data() + "/files");
        std::vector<std::string> arguments{"--data", host::UnixPath(Data()), "--port",
                                           std::to_string(port_)};
        arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
        Launch(arguments);
    }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::string Data() const { return directory_ + "/data"; }
    void AddFile(const std::string& relativePath, const std::string& content) const {
        const std::filesystem::path path = Data() + "/" + relativePath;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    void CopyIn(const std::string& relativePath, const std::string& source) const {
        const std::filesystem::path path = Data() + "/" + relativePath;
        std::filesystem::create_directories(path.parent_path());
        std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    }
    // What the service printed on standard output: its request log in the combined format.
    std::string Output() const {
        std::ifstream in(directory_ + "/service.out", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The requests the service logged, one line each: "METHOD TARGET STATUS BYTES" (its other
    // lines as they stand).
    std::string RequestLog() const {
        std::istringstream lines(Output());
        std::string log;
        for (std::string line; std::getline(lines, line);) log += ShortRequestLine(line) + "\n";
        return log;
    }
    // A combined log line as "METHOD TARGET STATUS BYTES", the target's \xHH escapes undone;
    // any other line as it stands.
    static std::string ShortRequestLine(const std::string& line) {
        static const std::regex combined(
            R"(^\S+ - \S+ \[[^\]]*\] "(\S+) (\S+) \S+" (\d+) (\d+) ".*)");
        std::smatch match;
        if (!std::regex_match(line, match, combined)) return line;
        std::string target = match[2];
        for (std::size_t at = target.find("\\x"); at != std::string::npos;
             at = target.find("\\x", at + 1)) {
            target.replace(at, 4, 1, static_cast<char>(std::stoi(target.substr(at + 2, 2), nullptr, 16)));
        }
        return match[1].str() + " " + target + " " + match[3].str() + " " + match[4].str();
    }
    // How many logged requests begin with this text, once the last expected one is logged (the
    // line is written after the answer has gone out).
    int Count(const std::string& prefix, int expected) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        int count = 0;
        do {
            count = 0;
            std::istringstream lines(RequestLog());
            for (std::string line; std::getline(lines, line);) {
                count += line.compare(0, prefix.size(), prefix) == 0;
            }
            if (count >= expected) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } while (std::chrono::steady_clock::now() < deadline);
        return count;
    }
    // The bodies kept for an upload kind, oldest first.
    std::vector<std::string> Uploads(const std::string& kind) const {
        std::vector<std::filesystem::path> paths;
        std::error_code error;
        for (const auto& entry :
             std::filesystem::directory_iterator(Data() + "/uploads/" + kind, error)) {
            if (entry.path().extension() == ".body") paths.push_back(entry.path());
        }
        std::sort(paths.begin(), paths.end());
        std::vector<std::string> bodies;
        for (const auto& path : paths) {
            std::ifstream in(path, std::ios::binary);
            bodies.emplace_back(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
        }
        return bodies;
    }
};

}  // namespace wi::test
