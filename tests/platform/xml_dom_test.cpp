#include "platform/files.h"
#include "platform/xml_dom.h"
#include "support/narrow_literal.h"
#include "support/temp_machine.h"
#include "support/wire_server.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using wi::xml::Document;
using wi::xml::Element;
using wi::xml::XmlError;

namespace {

using wi::test::Narrow;

const std::string kChinese = Narrow("中文");
const std::string kChineseGb2312 = "\xD6\xD0\xCE\xC4";  // "中文" in GB2312
// "café" in ISO-8859-1: "\xE9<" is valid neither in UTF-8 nor in code page 936.
const std::string kCafeLatin1 = "caf\xE9";

// A fresh machine, so that C:\ maps into a temporary directory.
class XmlFileTest : public ::testing::Test {
protected:
    wi::test::TempMachine machine_;
};

}  // namespace

TEST(XmlDom, WalksElementsAndReadsText) {
    Document doc;
    ASSERT_TRUE(doc.ParseText(
        "<SOFTWARES>\n  <!-- note -->\n  <Software><BaseInfo><GUID>{1}</GUID>"
        "<pn_name>a<b>b<c>c</c></b><![CDATA[<d>]]><!-- x --></pn_name></BaseInfo></Software>"
        "<other/>text</SOFTWARES>"));
    Element root = doc.Root();
    EXPECT_EQ(root.Name(), "SOFTWARES");
    EXPECT_TRUE(root.NameIs("softwares"));
    EXPECT_FALSE(root.NameIs("software"));

    std::vector<Element> children = root.Children();  // elements only, in document order
    ASSERT_EQ(children.size(), 2u);
    EXPECT_TRUE(children[0].NameIs("software"));
    EXPECT_EQ(children[1].Name(), "other");

    Element base = children[0].FirstChild("BaseInfo");
    ASSERT_TRUE(base);
    EXPECT_FALSE(children[0].FirstChild("baseinfo"));  // exact name
    EXPECT_EQ(base.FirstChild("GUID").Text(), "{1}");
    EXPECT_EQ(base.FirstChild("pn_name").Text(), "abc<d>");  // descendants, CDATA, no comments

    Element missing = base.FirstChild("pn_version");
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.Text(), "");
    EXPECT_FALSE(missing.FirstChild("x"));
    EXPECT_TRUE(missing.Children().empty());
}

TEST(XmlDom, ParseTextIgnoresTheDeclaredEncoding) {
    Document doc;
    ASSERT_TRUE(doc.ParseText("<?xml version='1.0' encoding='gb2312'?><a>" + kChinese + "</a>"));
    EXPECT_EQ(doc.Root().Text(), kChinese);
    // Not valid in the narrow code page, whatever the declaration names.
    EXPECT_FALSE(doc.ParseText("<?xml version='1.0' encoding='ISO-8859-1'?><a>" + kCafeLatin1 +
                               "</a>"));
    EXPECT_FALSE(doc.Root());
}

TEST(XmlDom, MalformedInputIsRefusedAndEmptiesTheDocument) {
    for (const std::string& text : std::vector<std::string>{
             "", "   ", "not xml", "<a>", "<a></b>", "<a/><b/>", "<a x='1' x='2'/>",
             "<a>&undefined;</a>",
             std::string("<a>\0</a>", 8), "<?xml version='1.0'?>", "\xEF\xBB\xBF"}) {
        Document doc;
        ASSERT_TRUE(doc.ParseText("<ok/>"));
        EXPECT_FALSE(doc.ParseText(text)) << text;
        EXPECT_FALSE(doc.Root()) << text;
        EXPECT_FALSE(doc.ParseBytes(text)) << text;
    }
}

TEST(XmlDom, DeeplyNestedInputIsRefused) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    Document doc;
    EXPECT_FALSE(doc.ParseText(deep));
}

TEST(XmlDom, EntityDeclarationsAreRefused) {
    const std::string laughs =
        "<!DOCTYPE lolz [<!ENTITY lol 'lol'>"
        "<!ENTITY lol1 '&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;'>"
        "<!ENTITY lol2 '&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;'>"
        "<!ENTITY lol3 '&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;'>"
        "<!ENTITY lol4 '&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;'>"
        "<!ENTITY lol5 '&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;'>"
        "<!ENTITY lol6 '&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;'>"
        "<!ENTITY lol7 '&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;'>"
        "<!ENTITY lol8 '&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;'>"
        "<!ENTITY lol9 '&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;'>"
        "]><lolz>&lol9;</lolz>";
    Document doc;
    EXPECT_FALSE(doc.ParseText(laughs));
    EXPECT_FALSE(doc.ParseText("<!DOCTYPE a [<!ENTITY e 'harmless'>]><a>&e;</a>"));
    EXPECT_FALSE(doc.ParseText("<!DOCTYPE a [<!ENTITY e SYSTEM 'x' NDATA n>]><a/>"));
    // Predefined entities and character references always work.
    ASSERT_TRUE(doc.ParseText("<a>&lt;&amp;&#x4E2D;</a>"));
    EXPECT_EQ(doc.Root().Text(), "<&" + Narrow("中"));
}

TEST_F(XmlFileTest, LocalExternalEntitiesAreNotRead) {
    const std::string secret = machine_.Root() + "/secret.txt";
    wi::test::TempMachine::WriteHostFile(secret, "SECRET");
    Document doc;
    EXPECT_FALSE(doc.ParseText("<!DOCTYPE a [<!ENTITY e SYSTEM 'file://" + secret +
                               "'>]><a>&e;</a>"));
    EXPECT_FALSE(doc.Root());
}

TEST(XmlDom, NetworkEntitiesAreNotFetched) {
    wi::test::WireServer server({wi::test::WireReply::Http(200, "<!ENTITY e 'FETCHED'>")});
    const std::string url = server.Url("/defs.dtd");
    Document doc;
    EXPECT_FALSE(doc.ParseText("<!DOCTYPE a [<!ENTITY e SYSTEM '" + url + "'>]><a>&e;</a>"));
    EXPECT_FALSE(doc.ParseText("<!DOCTYPE a [<!ENTITY % p SYSTEM '" + url + "'> %p;]><a/>"));
    server.Stop();
    EXPECT_EQ(server.Connections(), 0u);
}

TEST(XmlDom, ParseBytesFallsBackToTheDeclaredEncoding) {
    Document doc;
    // Bytes not valid in the narrow code page: the declaration decodes them.
    ASSERT_TRUE(doc.ParseBytes("<?xml version='1.0' encoding='ISO-8859-1'?><a>" + kCafeLatin1 +
                               "</a>"));
    EXPECT_EQ(doc.Root().Text(), Narrow("café"));
    // A service's GB2312 document reads as Chinese whatever the narrow code page: decoded by its
    // declaration where the narrow code page is UTF-8, read as it is where it is 936.
    const std::string declared = "<?xml version='1.0' encoding='gb2312'?>";
    ASSERT_TRUE(doc.ParseBytes(declared + "<a>" + kChineseGb2312 + "</a>"));
    EXPECT_EQ(doc.Root().Text(), kChinese);
    // Bytes valid in the narrow code page are read in it, whatever the declaration says.
    ASSERT_TRUE(doc.ParseBytes(declared + "<a>" + kChinese + "</a>"));
    EXPECT_EQ(doc.Root().Text(), kChinese);
    // Not valid in the narrow code page and no declared encoding: refused.
    EXPECT_FALSE(doc.ParseBytes("<?xml version='1.0'?><a>" + kCafeLatin1 + "</a>"));
    EXPECT_FALSE(doc.ParseBytes("<a>" + kCafeLatin1 + "</a>"));
    EXPECT_FALSE(doc.ParseBytes("<?xml version='1.0' encoding='no-such-set'?><a>\xFF</a>"));
}

TEST(XmlDom, BuildsAndSerialisesToNarrowText) {
    Document doc;
    Element root = doc.CreateRoot("softwares");
    Element base = root.AppendElement("software").AppendElement("BaseInfo");
    base.AppendElement("GUID", "{1}");
    base.AppendElement("pn_name", kChinese + " <&>'\"");
    base.AppendElement("pn_version", "");
    base.AppendElement("comments", std::string("a\x01\x1F\0b\tc\r\nd", 11));

    std::string text;
    ASSERT_TRUE(doc.ToText(text));
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\"?>", 0), 0u) << text;
    EXPECT_EQ(text.find("encoding"), std::string::npos);
    EXPECT_NE(text.find("<softwares><software><BaseInfo><GUID>{1}</GUID><pn_name>" + kChinese),
              std::string::npos)
        << text;

    Document back;
    ASSERT_TRUE(back.ParseText(text));
    Element parsed = back.Root().FirstChild("software").FirstChild("BaseInfo");
    EXPECT_EQ(parsed.FirstChild("pn_name").Text(), kChinese + " <&>'\"");
    ASSERT_TRUE(parsed.FirstChild("pn_version"));  // an empty text still gives the element
    EXPECT_EQ(parsed.FirstChild("pn_version").Text(), "");
    // Characters XML cannot carry are left out, so that the document reads back.
    EXPECT_EQ(parsed.FirstChild("comments").Text(), "ab\tc\r\nd");
}

TEST(XmlDom, UnusableNamesAndTextsThrow) {
    Document doc;
    Element root = doc.CreateRoot("r");
    EXPECT_THROW(root.AppendElement("a b"), XmlError);
    EXPECT_THROW(root.AppendElement(""), XmlError);
    EXPECT_THROW(root.AppendElement("a", "\xFF"), XmlError);  // not in the narrow code page
    EXPECT_TRUE(root.Children().empty());
    EXPECT_THROW(Element().AppendElement("a"), XmlError);
    EXPECT_THROW(doc.CreateRoot("<r>"), XmlError);
}

TEST_F(XmlFileTest, SavesGb2312WithOneDeclarationAndReadsItBack) {
    Document doc;
    Element root = doc.CreateRoot("softwares");
    root.AppendElement("Name", kChinese);
    // The euro sign and 丂 are in code page 936 but not in GB2312, which the file declares: they
    // are written as references, which any reader takes.
    root.AppendElement("Sign", Narrow("€"));
    root.AppendElement("Rare", Narrow("丂"));
    doc.Save("C:\\saved.xml");

    const std::string bytes =
        wi::test::TempMachine::ReadHostFile(machine_.HostPath("C:\\saved.xml"));
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"gb2312\"?>", 0), 0u) << bytes;
    EXPECT_EQ(bytes.find("<?xml", 1), std::string::npos);
    EXPECT_NE(bytes.find("<Name>" + kChineseGb2312 + "</Name>"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("<Sign>&#"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("<Rare>&#"), std::string::npos) << bytes;

    Document back;
    ASSERT_TRUE(back.ParseFile("C:\\saved.xml"));
    EXPECT_EQ(back.Root().FirstChild("Name").Text(), kChinese);
    EXPECT_EQ(back.Root().FirstChild("Sign").Text(), Narrow("€"));
    EXPECT_EQ(back.Root().FirstChild("Rare").Text(), Narrow("丂"));

    // A file's own declaration decides how it is read.
    wi::test::TempMachine::WriteHostFile(machine_.HostPath("C:\\utf8.xml"),
                                         "<?xml version='1.0' encoding='UTF-8'?><a>中文</a>");
    ASSERT_TRUE(back.ParseFile("C:\\utf8.xml"));
    EXPECT_EQ(back.Root().Text(), kChinese);

    // Saving again replaces the file.
    Document other;
    other.CreateRoot("other");
    other.Save("C:\\saved.xml");
    ASSERT_TRUE(back.ParseFile("C:\\saved.xml"));
    EXPECT_EQ(back.Root().Name(), "other");
}

// Each reader refuses input beyond its bounds as it refuses malformed input, before libxml2's
// costly work (a start tag's attributes are checked pairwise); real documents stay well inside.
TEST_F(XmlFileTest, InputBeyondTheBoundsIsRefused) {
    using wi::xml::kMaxAttributesPerElement;
    const auto element = [](int attributes) {
        std::string text = "<a";
        for (int i = 0; i < attributes; ++i) text += " a" + std::to_string(i) + "='='";
        return text + "/>";
    };
    const auto utf16 = [](const std::string& ascii) {
        std::string bytes = "\xFF\xFE";
        for (char c : ascii) bytes += {c, '\0'};
        return bytes;
    };
    const std::string most = element(kMaxAttributesPerElement);
    const std::string tooMany = element(kMaxAttributesPerElement + 1);
    Document doc;
    EXPECT_TRUE(doc.ParseText(most));
    EXPECT_FALSE(doc.ParseText(tooMany));
    EXPECT_FALSE(doc.ParseBytes(tooMany));
    EXPECT_FALSE(doc.ParseText("<r x='>'" + most.substr(2)));  // a quoted '>' ends no tag
    EXPECT_FALSE(doc.ParseText(element(200000)));
    // A file is checked as decoded, here from UTF-16.
    wi::test::TempMachine::WriteHostFile(machine_.HostPath("C:\\most.xml"), utf16(most));
    wi::test::TempMachine::WriteHostFile(machine_.HostPath("C:\\many.xml"), utf16(tooMany));
    EXPECT_TRUE(doc.ParseFile("C:\\most.xml"));
    EXPECT_FALSE(doc.ParseFile("C:\\many.xml"));
    // Attributes a document type declares are added to every start tag of their element.
    std::string declarations;
    for (int i = 0; i <= kMaxAttributesPerElement; ++i) {
        declarations += "<!ATTLIST a a" + std::to_string(i) + " CDATA 'v'>";
    }
    EXPECT_FALSE(doc.ParseText("<!DOCTYPE a [" + declarations + "]><a/>"));

    const auto nested = [](int depth) {
        std::string open, close;
        for (int i = 0; i < depth; ++i) open += "<a>", close += "</a>";
        return open + close;
    };
    EXPECT_TRUE(doc.ParseText(nested(wi::xml::kMaxDepth)));
    EXPECT_FALSE(doc.ParseText(nested(wi::xml::kMaxDepth + 1)));

    const auto larger = [](std::size_t bytes) {
        std::string text = "<r>";
        while (text.size() <= bytes) text += "<a>x</a>";
        return text + "</r>";
    };
    const std::string largeText = larger(wi::xml::kMaxTextBytes);
    EXPECT_FALSE(doc.ParseText(largeText));
    EXPECT_FALSE(doc.ParseBytes(largeText));
    wi::test::TempMachine::WriteHostFile(machine_.HostPath("C:\\large.xml"),
                                         larger(wi::xml::kMaxFileBytes));
    EXPECT_FALSE(doc.ParseFile("C:\\large.xml"));
    EXPECT_FALSE(doc.Root());
    // Not left behind where C: is the system's own drive.
    EXPECT_TRUE(wi::platform::DeleteFile("C:\\large.xml"));

    // A file list of 10,000 files, saved as GB2312, reads back whole.
    Document list;
    Element files = list.CreateRoot("softwares").AppendElement("FileList");
    for (int i = 0; i < 10000; ++i) {
        Element file = files.AppendElement("file");
        for (const char* name : {"SId", "Name", "SetupPath", "ProductName", "Description",
                                 "CreateDate", "company_name", "copy_right", "analyse_result"}) {
            file.AppendElement(name, kChinese + "C:\\Program Files\\" + std::to_string(i));
        }
    }
    list.Save("C:\\list.xml");
    ASSERT_TRUE(doc.ParseFile("C:\\list.xml"));
    const std::vector<Element> read = doc.Root().FirstChild("FileList").Children();
    ASSERT_EQ(read.size(), 10000u);
    EXPECT_EQ(read.back().FirstChild("Name").Text(), kChinese + "C:\\Program Files\\9999");
}

TEST_F(XmlFileTest, FileErrors) {
    Document doc;
    doc.CreateRoot("r");
    EXPECT_THROW(doc.Save("C:\\no such folder\\x.xml"), XmlError);
    EXPECT_THROW(Document().Save("C:\\empty.xml"), XmlError);
    EXPECT_FALSE(doc.ParseFile("C:\\missing.xml"));
    EXPECT_FALSE(doc.Root());

    wi::test::TempMachine::WriteHostFile(machine_.HostPath("C:\\broken.xml"), "<a><b></a>");
    EXPECT_FALSE(doc.ParseFile("C:\\broken.xml"));
}
