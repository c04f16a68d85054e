// What the request, list and download tests share: their fixture documents, and a test base
// with a machine of its own and the status lines it collected.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/temp_machine.h"
#include "webinteractive/status.h"

namespace wi::test {

// The bytes of tests/lists/fixtures/<name>.
inline std::string ReadServiceFixture(const std::string& name) {
    const std::filesystem::path path =
        std::filesystem::path(__FILE__).parent_path() / "fixtures" / name;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("no fixture " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ServiceTest : public testing::Test {
protected:
    void SetUp() override { IHelperInc::SetStatusSink(&ServiceTest::Collect, &lines_); }
    void TearDown() override { IHelperInc::SetStatusSink(nullptr, nullptr); }

    std::string Read(const std::string& windowsPath) const {
        return TempMachine::ReadHostFile(machine_.HostPath(windowsPath));
    }
    bool Exists(const std::string& windowsPath) const {
        return std::filesystem::exists(machine_.HostPath(windowsPath));
    }

    static constexpr const char* kTemplates = "C:\\ProgramData\\Microsoft\\Windows\\Templates";

    TempMachine machine_;
    std::vector<std::string> lines_;

private:
    static void Collect(const char* line, void* context) {
        static_cast<std::vector<std::string>*>(context)->push_back(line);
    }
};

}  // namespace wi::test
