#include "documents/xml_builder.h"
#include "platform/files.h"
#include "support/narrow_literal.h"
#include "support/temp_machine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using wi::xml::Document;
using wi::xml::Element;

namespace {

const std::string kChinese = wi::test::Narrow("中文");
const std::string kChineseGb2312 = "\xD6\xD0\xCE\xC4";  // "中文" in GB2312

std::string TextOf(const Document& doc) {
    std::string text;
    EXPECT_TRUE(doc.ToText(text));
    return text;
}

}  // namespace

TEST(XmlBuilder, ValueElementsInTheDocumentForm) {
    Document doc;
    Element root = doc.CreateRoot("softwares");
    wi::documents::AppendText(root, "pn_name", "a\tb\r\n");
    wi::documents::AppendText(root, "Name", std::string("x\x01\x1Fy\x7F") + kChinese);
    wi::documents::AppendText(root, "pn_version", "");
    wi::documents::AppendInt(root, "Type", -1);
    wi::documents::AppendInt(root, "language", 0);
    wi::documents::AppendInt64(root, "Size", 5000000000LL);
    wi::documents::AppendInt64(root, "estimated", INT64_MIN);
    wi::documents::AppendFlag(root, "analyseFlag", true);
    wi::documents::AppendFlag(root, "delFlag", false);
    wi::documents::AppendEmpty(root, "SId");

    const std::string text = TextOf(doc);
    EXPECT_EQ(text.find("encoding"), std::string::npos) << text;
    EXPECT_NE(text.find("<softwares><pn_name>ab</pn_name><Name>xy\x7F" + kChinese +
                        "</Name><pn_version/><Type>-1</Type><language>0</language>"
                        "<Size>5000000000</Size><estimated>-9223372036854775808</estimated>"
                        "<analyseFlag>1</analyseFlag><delFlag>0</delFlag><SId/></softwares>"),
              std::string::npos)
        << text;
}

TEST(XmlBuilder, TextResultIsSharedAndEmptiedFirst) {
    Document first;
    first.CreateRoot("first");
    Document second;
    second.CreateRoot("second");

    const char* shown = wi::documents::StoreTextResult(first);
    EXPECT_NE(std::string(shown).find("<first/>"), std::string::npos);
    shown = wi::documents::StoreTextResult(second);
    const std::string afterSecond = shown;
    EXPECT_NE(afterSecond.find("<second/>"), std::string::npos);
    EXPECT_EQ(afterSecond.find("first"), std::string::npos);

    EXPECT_STREQ(wi::documents::ClearTextResult(), "");
    EXPECT_STREQ(wi::documents::StoreTextResult(Document()), "");  // nothing to serialise
}

TEST(XmlBuilder, SavedTempFileIsGb2312AndRoundTrips) {
    wi::test::TempMachine machine;
    Document doc;
    Element root = doc.CreateRoot("softwares");
    wi::documents::AppendText(root, "Name", kChinese + "\n");

    const std::string path = wi::documents::SaveToTempFile(doc, "UpSoftTempXml");
    EXPECT_NE(path.find("\\UpSoftTempXml"), std::string::npos) << path;
    const std::string second = wi::documents::SaveToTempFile(doc, "UpSoftTempXml");
    EXPECT_NE(second, path);  // a new name per call
    wi::platform::DeleteFile(second);

    const std::string bytes = wi::test::TempMachine::ReadHostFile(machine.HostPath(path));
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"gb2312\"?>", 0), 0u) << bytes;
    EXPECT_EQ(bytes.find("<?xml", 1), std::string::npos);
    EXPECT_NE(bytes.find("<Name>" + kChineseGb2312 + "</Name>"), std::string::npos);

    Document back;
    EXPECT_TRUE(back.ParseFile(path));
    EXPECT_EQ(back.Root().FirstChild("Name").Text(), kChinese);
    // The common documents folder outlives the test where the machine is the system's own.
    EXPECT_TRUE(wi::platform::DeleteFile(path));
}
