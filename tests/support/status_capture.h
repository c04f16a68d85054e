// Collects every status line the library sends while it lives, in the order they come.
//
//   wi::test::StatusCapture status;
//   IWebInteractive::SaveFileListXml(softs);
//   EXPECT_TRUE(status.Has(expected));
#pragma once

#include <string>
#include <vector>

#include "webinteractive/status.h"

namespace wi::test {

class StatusCapture {
public:
    StatusCapture() { IHelperInc::SetStatusSink(&StatusCapture::Collect, &lines_); }
    ~StatusCapture() { IHelperInc::SetStatusSink(nullptr, nullptr); }
    StatusCapture(const StatusCapture&) = delete;
    StatusCapture& operator=(const StatusCapture&) = delete;

    const std::vector<std::string>& Lines() const { return lines_; }
    // True when this line, exactly, was sent.
    bool Has(const std::string& line) const {
        for (const std::string& seen : lines_) {
            if (seen == line) return true;
        }
        return false;
    }

private:
    static void Collect(const char* line, void* context) {
        static_cast<std::vector<std::string>*>(context)->push_back(line);
    }
    std::vector<std::string> lines_;
};

}  // namespace wi::test
