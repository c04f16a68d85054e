// The checks and decoding that the MSXML backend does on a document's text before MSXML reads it.
#include "platform/win32/xml_scan.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace wi::xml::msxml {
namespace {

std::wstring Ascii(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring Fixture(const char* name) {
    const std::string path = std::string(WI_TEST_FIXTURES) + "/" + name;
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    EXPECT_FALSE(bytes.str().empty()) << "no fixture " << path;
    return Ascii(bytes.str());
}

std::wstring Nested(int depth, const std::wstring& innermost) {
    std::wstring open, close;
    for (int i = 0; i < depth; ++i) open += L"<a>", close += L"</a>";
    return open + innermost + close;
}

TEST(XmlScan, BoundsDepthAttributesAndDocumentTypes) {
    // Comments, CDATA and instructions neither open elements nor hold attributes.
    const std::wstring skipped = Fixture("xml_scan_skipped_markup.xml");
    EXPECT_TRUE(WithinBounds(skipped, 3, 2));
    EXPECT_FALSE(WithinBounds(skipped, 2, 2));  // <g/> sits at depth 3
    EXPECT_FALSE(WithinBounds(skipped, 3, 1));  // <f> has two attributes, quoted '>' and all
    EXPECT_TRUE(WithinBounds(Nested(256, L""), 256, 256));
    EXPECT_FALSE(WithinBounds(Nested(257, L""), 256, 256));
    EXPECT_FALSE(WithinBounds(Nested(256, L"<b/>"), 256, 256));  // an empty element counts
    EXPECT_TRUE(WithinBounds(Nested(2, L"</a><a>"), 2, 256));  // siblings do not add up
    EXPECT_TRUE(WithinBounds(L"<a x='=' y=\"=\"/>", 256, 2));
    EXPECT_FALSE(WithinBounds(L"<a x='1' y='2' z='3'/>", 256, 2));
    EXPECT_FALSE(WithinBounds(L"<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>", 256, 256));
    EXPECT_FALSE(WithinBounds(L"<!DOCTYPE a SYSTEM 'http://x/a.dtd'><a/>", 256, 256));
    // Unclosed markup ends the scan; the parser refuses the text after it.
    EXPECT_TRUE(WithinBounds(L"<a><!-- never closed", 256, 256));
    EXPECT_TRUE(WithinBounds(L"<a x='never closed", 256, 256));
}

TEST(XmlScan, DeclarationIsRemovedOnlyWhenItIsOne) {
    EXPECT_EQ(WithoutDeclaration(L"<?xml version='1.0' encoding='gb2312'?>\r\n<a/>"), L"<a/>");
    EXPECT_EQ(WithoutDeclaration(L"\xFEFF<?xml version='1.0'?><a/>"), L"<a/>");
    EXPECT_EQ(WithoutDeclaration(L"<?xml-stylesheet href='s'?><a/>"),
              L"<?xml-stylesheet href='s'?><a/>");
    EXPECT_EQ(WithoutDeclaration(L"<?xml version='1.0'"), L"<?xml version='1.0'");
    EXPECT_EQ(WithoutDeclaration(L"<a/>"), L"<a/>");
}

TEST(XmlScan, DecodesByTheNamedEncoding) {
    std::wstring text;
    // "<a>中</a>" in UTF-16BE with its mark, and U+1F600 in UTF-32 of both byte orders.
    ASSERT_TRUE(DecodeBytes("utf-16be", std::string("\xFE\xFF\0<\0a\0>\x4E\x2D", 10), text));
    EXPECT_EQ(text, L"<a>\x4E2D");
    ASSERT_TRUE(DecodeBytes("UTF-32LE", std::string("\x00\xF6\x01\x00", 4), text));
    EXPECT_EQ(text, L"\xD83D\xDE00");
    ASSERT_TRUE(DecodeBytes("UTF-32BE", std::string("\0\0\0<", 4), text));
    EXPECT_EQ(text, L"<");
    EXPECT_FALSE(DecodeBytes("UTF-32BE", std::string("\0\x11\0\0", 4), text));  // no character
    EXPECT_FALSE(DecodeBytes("UTF-32LE", std::string("\0\xD8\0\0", 4), text));  // a surrogate
    EXPECT_FALSE(DecodeBytes("UTF-16BE", std::string("\0<\0", 3), text));        // cut off
    EXPECT_TRUE(text.empty());
    // Every other name goes through the platform's conversions.
    ASSERT_TRUE(DecodeBytes("gb2312", "<a>\xD6\xD0</a>", text));
    EXPECT_EQ(text, L"<a>\x4E2D</a>");
    ASSERT_TRUE(DecodeBytes("UTF-8", "\xEF\xBB\xBF<a/>", text));
    EXPECT_EQ(text, L"<a/>");
    EXPECT_FALSE(DecodeBytes("gb2312", "<a>\xD6</a>", text));
    EXPECT_FALSE(DecodeBytes("no-such-set", "<a/>", text));
}

}  // namespace
}  // namespace wi::xml::msxml
