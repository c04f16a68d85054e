// webinteractive-service started as an operator starts it: with the arguments the test gives
// (no data folder or port chosen for it) and optionally a few environment variables, its output
// in a file of its own. Ready once it has printed its "listening on" line; stopped when the
// object goes.
#pragma once

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/host.h"
#include "support/peers.h"
#include "support/temp_machine.h"

namespace wi::test {

class StartedService {
public:
    explicit StartedService(const std::vector<std::string>& arguments,
                            const std::vector<std::string>& environment = {})
        : directory_(MakeTempDirectory("wi-service-run")) {
        // env runs the program with the variables added to the test's own.
        std::vector<std::string> argv = environment;
        argv.push_back(WI_SERVICE_PROGRAM);
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        process_ = std::make_unique<host::ProcessGroup>("/usr/bin/env", argv, directory_ + "/out");
        static const std::regex listening("listening on (\\S+):(\\d+), data in ");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        std::smatch match;
        std::string output;
        for (output = Output(); !std::regex_search(output, match, listening); output = Output()) {
            if (process_->Exited() || std::chrono::steady_clock::now() > deadline) {
                throw std::runtime_error("webinteractive-service did not start:\n" + output);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        host_ = match[1];
        port_ = std::stoi(match[2]);
    }
    ~StartedService() {
        process_.reset();
        RemoveHostTree(directory_);
    }
    const std::string& host() const { return host_; }  // as printed: IPv6 in brackets
    int port() const { return port_; }
    std::string Url(const std::string& path) const {
        return "http://" + host_ + ":" + std::to_string(port_) + path;
    }
    // Standard output and error so far.
    std::string Output() const {
        std::ifstream in(directory_ + "/out", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Waits (up to five seconds) for the output to hold the text: a request's line is written
    // after its answer has gone out.
    bool OutputHas(const std::string& text) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (Output().find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }
    // Asks it to stop (SIGTERM, as systemd does) and waits until it has ended.
    void Stop() { process_->Stop(); }

private:
    std::string directory_;
    std::unique_ptr<host::ProcessGroup> process_;
    std::string host_;
    int port_ = 0;
};

}  // namespace wi::test
