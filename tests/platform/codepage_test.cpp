// Conversions between the narrow code page, UTF-8, UTF-16 and named encodings.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/errors.h"

namespace wi::platform {
namespace {

// "保护成功" in UTF-8 and in GB2312.
const std::string kUtf8Protected = "\xe4\xbf\x9d\xe6\x8a\xa4\xe6\x88\x90\xe5\x8a\x9f";
const std::string kGb2312Protected = "\xb1\xa3\xbb\xa4\xb3\xc9\xb9\xa6";

// "保护成功" in the narrow code page of the test (UTF-8 on posix, code page 936 under Wine).
std::string NarrowProtected() {
    std::string narrow;
    EXPECT_TRUE(Utf8ToNarrow(kUtf8Protected, narrow));
    return narrow;
}

TEST(Codepage, RoundTripsThroughUtf16) {
    const std::string protectedText = NarrowProtected();
    std::u16string wide;
    ASSERT_TRUE(NarrowToUtf16(protectedText + " ok", wide));
    EXPECT_EQ(wide, u"\u4fdd\u62a4\u6210\u529f ok");
    std::string narrow;
    ASSERT_TRUE(Utf16ToNarrow(wide, narrow));
    EXPECT_EQ(narrow, protectedText + " ok");

    ASSERT_TRUE(NarrowToUtf16("", wide));
    EXPECT_TRUE(wide.empty());
}

TEST(Codepage, ConvertsGb2312BothWays) {
    std::string text;
    ASSERT_TRUE(ConvertEncoding("GB2312", "UTF-8", kGb2312Protected, text));
    EXPECT_EQ(text, kUtf8Protected);
    ASSERT_TRUE(ConvertEncoding("UTF-8", "GB2312", kUtf8Protected, text));
    EXPECT_EQ(text, kGb2312Protected);
}

TEST(Codepage, InvalidOrTruncatedInputGivesFalseAndNothing) {
    std::string text = "stale";
    EXPECT_FALSE(NarrowToUtf8("ab\xff\xfe", text));
    EXPECT_EQ(text, "");
    text = "stale";
    const std::string narrow = NarrowProtected();
    const std::size_t first = NarrowCharLength(narrow, 0);
    // Cut inside the second character.
    EXPECT_FALSE(NarrowToUtf8(narrow.substr(0, first + NarrowCharLength(narrow, first) - 1), text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(ConvertEncoding("GB2312", "UTF-8", kGb2312Protected.substr(0, 3), text));
    EXPECT_FALSE(ConvertEncoding("UTF-8", "GB2312", "\xf0\x9f\x98\x80", text));  // no such glyph

    std::u16string wide = u"x";
    EXPECT_FALSE(NarrowToUtf16("\xc3", wide));
    EXPECT_TRUE(wide.empty());
    std::u16string loneSurrogate(1, static_cast<char16_t>(0xd800));
    EXPECT_FALSE(Utf16ToNarrow(loneSurrogate, text));
    EXPECT_FALSE(ConvertEncoding("NO-SUCH-CODESET", "UTF-8", "x", text));
}

TEST(Codepage, LongTextsConvertWhole) {
    std::string utf8;
    for (int i = 0; i < 5000; ++i) utf8 += kUtf8Protected;
    std::string gb;
    ASSERT_TRUE(ConvertEncoding("UTF-8", "GB2312", utf8, gb));
    EXPECT_EQ(gb.size(), 5000 * kGb2312Protected.size());
    std::string back;
    ASSERT_TRUE(ConvertEncoding("GB2312", "UTF-8", gb, back));
    EXPECT_EQ(back, utf8);
}

TEST(Errors, LastErrorIsPerThreadAndHasText) {
    SetLastError(2);
    EXPECT_EQ(LastError(), 2u);
    EXPECT_FALSE(SystemErrorText(2).empty());
    EXPECT_EQ(SystemErrorText(0xE0000001u), "");
    EXPECT_EQ(SystemErrorText(99999), "");
}

}  // namespace
}  // namespace wi::platform
