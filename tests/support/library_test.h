// The fixture of tests that call the library's operations on a machine of their own: a fresh
// TempMachine, the status lines of every call (printed when the test fails), and the
// process-wide settings those operations read, the service configuration and the user document
// parameter "qeluser", empty when the test starts and again when it ends. For the test programs
// of the modules above the frame, which own the configuration.
//
//   class UploadTest : public wi::test::LibraryTest {};
//   TEST_F(UploadTest, ...) { ... machine_.HostPath("C:\\x") ... StatusSent(line) ... }
#pragma once

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "frame/config.h"
#include "support/status_capture.h"
#include "support/temp_machine.h"
#include "webinteractive/status.h"

namespace wi::test {

class LibraryTest : public testing::Test {
protected:
    LibraryTest() { SetUserXmlParameter(""); }
    // A fixture that ends with more of its own calls this last.
    void TearDown() override {
        if (HasFailure()) {
            std::cout << "status lines:\n";
            for (const std::string& line : status_.Lines()) std::cout << line << "\n";
        }
        wi::frame::SetConfig({});
        SetUserXmlParameter("");
    }

    // The host parameter "qeluser", which names the user document.
    static void SetUserXmlParameter(const std::string& path) {
        std::string name = "qeluser";
        std::string value = path;
        IHelperInc::SaveParam(name, value);
    }
    static std::string UserXmlParameter() {
        std::string name = "qeluser";
        return IHelperInc::ReadParam(name);
    }

    const std::vector<std::string>& StatusLines() const { return status_.Lines(); }
    bool StatusSent(const std::string& line) const { return status_.Has(line); }

    TempMachine machine_;

private:
    StatusCapture status_;
};

}  // namespace wi::test
