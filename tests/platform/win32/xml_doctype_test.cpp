// The MSXML backend refuses every document type, before MSXML sees it: nothing the library reads
// has one. Its external subset is never loaded, from a local file or from the network.
#include "platform/xml_dom.h"
#include "support/temp_machine.h"
#include "support/wire_server.h"

#include <gtest/gtest.h>

#include <string>

using wi::xml::Document;

TEST(XmlDocumentType, IsRefusedWithoutLoadingAnything) {
    Document doc;
    ASSERT_TRUE(doc.ParseText("<a/>"));
    EXPECT_FALSE(doc.ParseText("<!DOCTYPE a [<!ELEMENT a ANY>]><a>&lt;</a>"));
    EXPECT_FALSE(doc.Root());

    wi::test::TempMachine machine;
    const std::string dtd = machine.Root() + "\\defs.dtd";
    wi::test::TempMachine::WriteHostFile(dtd, "<!ENTITY e 'SECRET'>");
    EXPECT_FALSE(doc.ParseText("<!DOCTYPE a SYSTEM '" + dtd + "'><a>x&e;</a>"));
    EXPECT_FALSE(doc.ParseBytes("<!DOCTYPE a SYSTEM '" + dtd + "'><a>x</a>"));

    wi::test::WireServer server({wi::test::WireReply::Http(200, "<!ENTITY e 'FETCHED'>")});
    EXPECT_FALSE(doc.ParseText("<!DOCTYPE a SYSTEM '" + server.Url("/defs.dtd") + "'><a>x</a>"));
    server.Stop();
    EXPECT_EQ(server.Connections(), 0u);
    EXPECT_FALSE(doc.Root());
}
