// The library is a guest in a host that uses libxml2 as well: the host's own parses read the same
// before and after the library's first parse, and nothing the host sets up for its parses makes
// the library's parses load anything or read otherwise.
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/xml_dom.h"
#include "support/peers.h"
#include "support/temp_machine.h"

namespace {

using wi::test::TempMachine;

// The root's text of a file the host parses itself, or "failed".
std::string HostParse(const std::string& path, int options) {
    xmlDocPtr doc = xmlReadFile(path.c_str(), nullptr, options);
    if (doc == nullptr) return "failed";
    xmlChar* text = xmlNodeGetContent(xmlDocGetRootElement(doc));
    const std::string result = reinterpret_cast<const char*>(text);
    xmlFree(text);
    xmlFreeDoc(doc);
    return result;
}

// The host's files: a plain one, one with an external entity, one with an external subset.
std::vector<std::string> HostResults(const std::string& folder) {
    return {HostParse(folder + "/plain.xml", 0),
            HostParse(folder + "/entity.xml", XML_PARSE_NOENT),
            HostParse(folder + "/subset.xml", XML_PARSE_DTDLOAD | XML_PARSE_NOENT)};
}

// Run in a process of its own, where the library has not parsed yet. Exits with 0 when the
// host's results are as expected both times.
void HostParsesAroundTheLibrarysFirstParse(const std::string& folder) {
    const std::vector<std::string> expected = {"plain", "entity text", "from the subset"};
    const std::vector<std::string> before = HostResults(folder);
    wi::xml::Document document;
    const bool parsed = document.ParseText("<a>library</a>");
    const std::vector<std::string> after = HostResults(folder);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        std::fprintf(stderr, "%s / %s\n", before[i].c_str(), after[i].c_str());
    }
    std::exit(parsed && before == expected && after == expected ? 0 : 1);
}

TEST(XmlGuestOfAHost, TheHostsParsesReadTheSameAfterTheLibrarysFirstParse) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process for the statement
    const std::string folder = wi::test::MakeTempDirectory("wi-xml-host");
    TempMachine::WriteHostFile(folder + "/plain.xml", "<a>plain</a>");
    TempMachine::WriteHostFile(folder + "/text.txt", "entity text");
    TempMachine::WriteHostFile(folder + "/entity.xml",
                               "<!DOCTYPE a [<!ENTITY e SYSTEM 'text.txt'>]><a>&e;</a>");
    TempMachine::WriteHostFile(folder + "/defs.dtd", "<!ENTITY e 'from the subset'>");
    TempMachine::WriteHostFile(folder + "/subset.xml", "<!DOCTYPE a SYSTEM 'defs.dtd'><a>&e;</a>");
    EXPECT_EXIT(HostParsesAroundTheLibrarysFirstParse(folder), testing::ExitedWithCode(0), "");
    wi::test::RemoveHostTree(folder);
}

std::vector<std::string> hostLoads;
xmlExternalEntityLoader hostPrevious = nullptr;

xmlParserInputPtr RecordingLoader(const char* url, const char* id, xmlParserCtxtPtr context) {
    hostLoads.push_back(url != nullptr ? url : "");
    return hostPrevious(url, id, context);
}

// A host that installs its own loader after the library's first parse and changes libxml2's
// global defaults towards loading and substituting.
TEST(XmlGuestOfAHost, TheHostsLoaderAndDefaultsNeitherLoadNorChangeTheLibrarysParses) {
    wi::xml::Document document;
    ASSERT_TRUE(document.ParseText("<a/>"));
    hostPrevious = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(RecordingLoader);
    const int substitute = xmlSubstituteEntitiesDefault(1);
    const int keepBlanks = xmlKeepBlanksDefault(0);
    const int loadSubset = xmlLoadExtDtdDefaultValue;
    const int validate = xmlDoValidityCheckingDefaultValue;
    xmlLoadExtDtdDefaultValue = XML_DETECT_IDS | XML_COMPLETE_ATTRS;
    xmlDoValidityCheckingDefaultValue = 1;

    TempMachine machine;
    const std::string dtd = "file://" + machine.Root() + "/defs.dtd";
    TempMachine::WriteHostFile(machine.Root() + "/defs.dtd", "<!ENTITY e 'SECRET'>");
    EXPECT_TRUE(document.ParseText("<!DOCTYPE a SYSTEM '" + dtd + "'><a>x&e;</a>"));
    EXPECT_EQ("x", document.Root().Text());
    EXPECT_FALSE(document.ParseText("<!DOCTYPE a [<!ENTITY e SYSTEM '" + dtd + "'>]><a>&e;</a>"));
    EXPECT_FALSE(document.ParseText("<!DOCTYPE a [<!ENTITY % p SYSTEM '" + dtd + "'> %p;]><a/>"));
    EXPECT_TRUE(document.ParseText("<a> <b/> </a>"));
    EXPECT_EQ("  ", document.Root().Text());  // blanks are text, whatever the host's default

    xmlSetExternalEntityLoader(hostPrevious);
    xmlSubstituteEntitiesDefault(substitute);
    xmlKeepBlanksDefault(keepBlanks);
    xmlLoadExtDtdDefaultValue = loadSubset;
    xmlDoValidityCheckingDefaultValue = validate;
    EXPECT_TRUE(hostLoads.empty()) << hostLoads.front();
}

}  // namespace
