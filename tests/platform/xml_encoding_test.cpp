// The encoding both XML backends find in a document's bytes before decoding them.
#include "platform/common/xml_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace wi::xml {
namespace {

TEST(XmlEncoding, FindsTheEncodingAsAParserDoes) {
    EXPECT_EQ(DocumentEncoding(std::string("\xFF\xFE\0\0<\0\0\0", 8)), "UTF-32LE");
    EXPECT_EQ(DocumentEncoding(std::string("\xFF\xFE<\0", 4)), "UTF-16LE");
    EXPECT_EQ(DocumentEncoding(std::string("\0<\0?", 4)), "UTF-16BE");
    EXPECT_EQ(DocumentEncoding("<?xml version='1.0' encoding = \"gb2312\"?><a/>"), "gb2312");
    EXPECT_EQ(DocumentEncoding("<a/>"), "UTF-8");
    EXPECT_EQ(DeclaredEncoding("<?xml version='1.0'?><a encoding='x'/>"), "");
}

}  // namespace
}  // namespace wi::xml
