// Conversions of the posix backend: the narrow code page taken from the C library's locale, and
// iconv's own checks and states.
#include <clocale>
#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace wi::platform {
namespace {

// "保护成功" in UTF-8.
const std::string kUtf8Protected = "\xe4\xbf\x9d\xe6\x8a\xa4\xe6\x88\x90\xe5\x8a\x9f";

TEST(Codepage, TheCLocaleCountsAsUtf8) {
    std::setlocale(LC_CTYPE, "C");
    EXPECT_EQ(NarrowCodeset(), "UTF-8");
    // Characters are counted as the conversions read them: a whole UTF-8 sequence, or one byte
    // where none begins.
    EXPECT_EQ(NarrowCharLength(kUtf8Protected, 0), 3u);
    EXPECT_EQ(NarrowCharLength(kUtf8Protected.substr(0, 2), 0), 1u);
    EXPECT_EQ(NarrowCharLength("\x80x", 0), 1u);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    EXPECT_EQ(NarrowCodeset(), "UTF-8");
    EXPECT_EQ(NarrowCharLength(kUtf8Protected, 3), 3u);
    std::setlocale(LC_CTYPE, "C");
}

// Where the narrow code page is UTF-8, a text is copied after a check of its own: that check
// must take exactly what iconv takes.
TEST(Codepage, Utf8NarrowTextIsCheckedAsIconvChecksIt) {
    std::setlocale(LC_CTYPE, "C");
    for (const std::string& sample :
         {kUtf8Protected, std::string("\xf0\x9f\x98\x80"), std::string("\xef\xbf\xbf"),
          std::string("\xf4\x8f\xbf\xbf"), std::string("\xc2\x80", 2) + '\0' + "x",
          std::string("\xc0\x80"), std::string("\xc1\xbf"), std::string("\xe0\x80\x80"),
          std::string("\xe0\x9f\xbf"), std::string("\xed\xa0\x80"), std::string("\xed\xbf\xbf"),
          std::string("\xf0\x80\x80\x80"), std::string("\xf0\x8f\xbf\xbf"),
          std::string("\xf4\x90\x80\x80"), std::string("\xf5\x80\x80\x80"),
          std::string("\xe4\xbf"), std::string("\xe4\x3f\x9d"), std::string("\x80")}) {
        std::string copied, converted;
        const bool copiedOk = NarrowToUtf8(sample, copied);
        EXPECT_EQ(ConvertEncoding("UTF-8", "UTF-8", sample, converted), copiedOk) << sample;
        EXPECT_EQ(converted, copied);
        std::string back;
        EXPECT_EQ(copiedOk, Utf8ToNarrow(sample, back)) << sample;
    }
}

// A conversion that fails inside a shifted run leaves no shift state to the next one.
TEST(Codepage, EachConversionStartsInTheInitialState) {
    std::string text;
    EXPECT_FALSE(ConvertEncoding("UTF-8", "ISO-2022-CN", kUtf8Protected + "\xff", text));
    ASSERT_TRUE(ConvertEncoding("UTF-8", "ISO-2022-CN", "a", text));
    EXPECT_EQ(text, "a");
}

}  // namespace
}  // namespace wi::platform
