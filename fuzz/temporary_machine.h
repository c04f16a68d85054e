// A machine prefix of the fuzz process's own in a fresh temporary directory, so that a target
// that touches the machine (drives, files) never works on the user's. Removed when the process
// ends normally.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "webinteractive/host.h"

namespace wi::fuzz {

class TemporaryMachine {
public:
    explicit TemporaryMachine(const std::string& name) {
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        do {
            directory_ = base / (name + "." + std::to_string(random()));
        } while (!std::filesystem::create_directory(directory_));
        IHostInc::SetMachinePrefix(directory_.c_str());
    }
    ~TemporaryMachine() {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
    TemporaryMachine(const TemporaryMachine&) = delete;
    TemporaryMachine& operator=(const TemporaryMachine&) = delete;

    const std::filesystem::path& Directory() const { return directory_; }

private:
    std::filesystem::path directory_;
};

}  // namespace wi::fuzz
