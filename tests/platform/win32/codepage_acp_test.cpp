// Conversions in the ANSI code page of a Windows process: code page 936 (Chinese Windows; under
// Wine a process started in a zh_CN locale) for the double-byte cases.
#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace wi::platform {
namespace {

// "保护成功" in UTF-8 and in code page 936.
const std::string kUtf8Protected = "\xe4\xbf\x9d\xe6\x8a\xa4\xe6\x88\x90\xe5\x8a\x9f";
const std::string kAcpProtected = "\xb1\xa3\xbb\xa4\xb3\xc9\xb9\xa6";
const std::string kUtf8Emoji = "\xf0\x9f\x98\x80";  // in no ANSI code page

TEST(AcpCodepage, NamesTheAnsiCodePageAndConvertsNamedEncodings) {
    const std::string& codeset = NarrowCodeset();
    EXPECT_TRUE(codeset == "UTF-8" || (codeset.size() > 2 && codeset.compare(0, 2, "CP") == 0))
        << codeset;
    std::string text;
    ASSERT_TRUE(ConvertEncoding(codeset, "UTF-8", "plain", text));
    EXPECT_EQ(text, "plain");
    ASSERT_TRUE(ConvertEncoding("GB2312", "UTF-8", kAcpProtected, text));
    EXPECT_EQ(text, kUtf8Protected);
    ASSERT_TRUE(ConvertEncoding("UTF-8", "utf-16le", "\xe4\xbf\x9d", text));
    EXPECT_EQ(text, std::string("\xdd\x4f", 2));
    EXPECT_FALSE(ConvertEncoding("UTF-8", "cp936", kUtf8Emoji, text));
    EXPECT_FALSE(ConvertEncoding("NO-SUCH-CODESET", "UTF-8", "x", text));
}

TEST(AcpCodepage, DoubleByteTextConvertsStrictlyOrWithOneMarkPerCharacter) {
    if (NarrowCodeset() != "CP936") GTEST_SKIP() << "the ANSI code page is " << NarrowCodeset();
    std::string narrow, utf8;
    ASSERT_TRUE(Utf8ToNarrow(kUtf8Protected + " ok", narrow));
    EXPECT_EQ(narrow, kAcpProtected + " ok");
    ASSERT_TRUE(NarrowToUtf8(narrow, utf8));
    EXPECT_EQ(utf8, kUtf8Protected + " ok");
    std::u16string wide;
    ASSERT_TRUE(NarrowToUtf16(kAcpProtected, wide));
    EXPECT_EQ(wide, u"\u4fdd\u62a4\u6210\u529f");
    ASSERT_TRUE(Utf16ToNarrow(wide, narrow));
    EXPECT_EQ(narrow, kAcpProtected);

    narrow = "stale";
    EXPECT_FALSE(Utf8ToNarrow(kUtf8Emoji, narrow));  // no look-alike is taken
    EXPECT_EQ(narrow, "");
    EXPECT_FALSE(NarrowToUtf8(kAcpProtected.substr(0, 3), utf8));  // cut after a lead byte
    EXPECT_FALSE(Utf16ToNarrow(std::u16string(1, static_cast<char16_t>(0xd800)), narrow));
    // A byte that begins no UTF-8 character and a character the code page lacks: one '?' each.
    EXPECT_EQ(Utf8ToNarrowReplacing("a\xff" + kUtf8Protected.substr(0, 3) + kUtf8Emoji + "z"),
              "a?" + kAcpProtected.substr(0, 2) + "?z");

    // A double-byte character whose trail byte is 0x5C, then a backslash: only the second is
    // a path separator.
    const std::string path = "\x81\x5c\x5c";
    EXPECT_EQ(NarrowCharLength(path, 0), 2u);
    EXPECT_EQ(NarrowCharLength(path, 2), 1u);
    EXPECT_EQ(NarrowCharLength(path, 3), 0u);
    EXPECT_EQ(NarrowCharLength("\xb1", 0), 1u);  // a lead byte cut off by the end
}

}  // namespace
}  // namespace wi::platform
