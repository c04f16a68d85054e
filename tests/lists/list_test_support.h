// What the list reader tests share: fixture documents, the status lines of a call, the
// temporary documents a call leaves; nginx serves the documents.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/fixture_file.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/status.h"

namespace wi::test {

// A fresh machine, a local nginx and the status lines of every call.
class ListTest : public testing::Test {
protected:
    void SetUp() override { IHelperInc::SetStatusSink(&ListTest::Collect, this); }
    void TearDown() override { IHelperInc::SetStatusSink(nullptr, nullptr); }

    // Serves the fixture (or a text) under /name and returns its address.
    std::string Serve(const std::string& fixture) { return ServeText(fixture, Fixture(fixture)); }
    std::string ServeText(const std::string& name, const std::string& content) {
        web_.AddFile(name, content);
        return web_.Url("/" + name);
    }

    // The names of the documents starting with `stem` in the temporary documents folder.
    std::vector<std::string> TempDocuments(const std::string& stem) const {
        std::vector<std::string> names;
        const std::string folder = machine_.HostPath("C:\\users\\Public\\Documents");
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name.compare(0, stem.size(), stem) == 0) names.push_back(name);
        }
        return names;
    }

    bool HasLine(const std::string& line) const {
        return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
    }

    // Called with each status line; tests may act on a line (on the calling thread).
    virtual void OnStatus(const std::string&) {}

    TempMachine machine_;
    NginxPeer web_;
    std::vector<std::string> lines_;

private:
    static void Collect(const char* line, void* context) {
        auto* test = static_cast<ListTest*>(context);
        test->lines_.push_back(line);
        test->OnStatus(line);
    }
};

}  // namespace wi::test
