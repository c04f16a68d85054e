// What the store tests share: a fresh machine (drives C: and D:) with Init run on it, the status
// lines collected, no "qeluser" parameter left from another test, fixture documents put at
// Windows paths, and a look at the stored documents. The library's texts are in the narrow code
// page; the lines and log entries collected here are in UTF-8, as the tests' literals are.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "log/log_access.h"
#include "platform/codepage.h"
#include "platform/xml_dom.h"
#include "store/protected_table.h"
#include "support/temp_machine.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"
#include "webinteractive/status.h"

namespace wi::test {

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = "qeluser", empty;
        IHelperInc::SaveParam(name, empty);
        IHelperInc::SetStatusSink(&StoreTest::Collect, this);
        IWebInteractive::GetLogInc()->StartLog();
        Reinit();
    }
    void TearDown() override { IHelperInc::SetStatusSink(nullptr, nullptr); }

    // Init without service addresses: the drive list and the table from the machine as it is.
    static void Reinit() { IWebInteractive::Init("<Config/>"); }

    static void Collect(const char* line, void* self) {
        auto* test = static_cast<StoreTest*>(self);
        test->lines.push_back(Utf8(line));
        if (test->onLine) test->onLine(test->lines.back());
    }

    // A text of the library in UTF-8; a text that is not valid in the code page stays as it is,
    // so it matches no literal.
    static std::string Utf8(const std::string& narrow) {
        std::string utf8;
        return wi::platform::NarrowToUtf8(narrow, utf8) ? utf8 : narrow;
    }
    static LogInfo Utf8(const LogInfo& entry) {
        LogInfo converted{Utf8(entry.guid), Utf8(entry.special_code), Utf8(entry.result), {}};
        for (const std::string& detail : entry.details) converted.details.push_back(Utf8(detail));
        return converted;
    }

    // Copies tests/store/fixtures/<name> to a Windows path of the machine, making its folders.
    void PutFixture(const std::string& name, const std::string& windowsPath) const {
        const std::string host = machine.HostPath(windowsPath);
        std::filesystem::create_directories(std::filesystem::path(host).parent_path());
        std::filesystem::copy_file(std::string(WI_TEST_FIXTURES) + "/" + name, host,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    void PutFile(const std::string& windowsPath, const std::string& content) const {
        const std::string host = machine.HostPath(windowsPath);
        std::filesystem::create_directories(std::filesystem::path(host).parent_path());
        TempMachine::WriteHostFile(host, content);
    }
    bool Exists(const std::string& windowsPath) const {
        return std::filesystem::exists(machine.HostPath(windowsPath));
    }

    // The (guid, protect_xml) pairs of the user document at the default path, in order.
    std::vector<std::pair<std::string, std::string>> UserDocumentPairs() const {
        std::vector<std::pair<std::string, std::string>> pairs;
        wi::xml::Document document;
        EXPECT_TRUE(document.ParseFile(kUserXml)) << "the user document must parse";
        EXPECT_EQ(document.Root().Name(), "user");
        for (const wi::xml::Element& software : document.Root().Children()) {
            pairs.emplace_back(software.FirstChild("guid").Text(),
                               software.FirstChild("protect_xml").Text());
        }
        return pairs;
    }

    static std::vector<LogInfo> LogEntries() {
        std::vector<LogInfo> converted;
        for (const LogInfo& entry : wi::log::LogAccess::CurrentRun().entries) {
            converted.push_back(Utf8(entry));
        }
        return converted;
    }

    bool SawLine(const std::string& line) const {
        for (const std::string& seen : lines) {
            if (seen == line) return true;
        }
        return false;
    }

    static constexpr const char* kUserXml = "D:\\qel_protect\\software\\qeluser.xml";
    static constexpr const char* kStoreRoot = "D:\\qel_protect\\software\\";

    TempMachine machine;
    std::vector<std::string> lines;
    std::function<void(const std::string&)> onLine;
};

}  // namespace wi::test
