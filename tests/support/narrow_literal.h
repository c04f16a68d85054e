// A text of the test sources (UTF-8) in the narrow code page that the library takes and gives:
// UTF-8 in the posix tests' C locale, code page 936 in the Windows test run.
//
//   EXPECT_EQ(Narrow("中文"), element.Text());
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"

namespace wi::test {

inline std::string Narrow(const std::string& utf8) {
    std::string narrow;
    EXPECT_TRUE(wi::platform::Utf8ToNarrow(utf8, narrow)) << "not narrow text here: " << utf8;
    return narrow;
}

}  // namespace wi::test
