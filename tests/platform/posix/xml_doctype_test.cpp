// libxml2 reads a document type that declares no entity, but never loads its external subset:
// neither from a local file nor from the network.
#include "platform/xml_dom.h"
#include "support/temp_machine.h"
#include "support/wire_server.h"

#include <gtest/gtest.h>

#include <string>

using wi::xml::Document;

TEST(XmlDocumentType, IsReadWithoutItsExternalSubset) {
    Document doc;
    ASSERT_TRUE(doc.ParseText("<!DOCTYPE a [<!ELEMENT a ANY>]><a>&lt;</a>"));
    EXPECT_EQ(doc.Root().Text(), "<");

    // The external subset's entity stays unknown and empty.
    wi::test::TempMachine machine;
    const std::string dtd = machine.Root() + "/defs.dtd";
    wi::test::TempMachine::WriteHostFile(dtd, "<!ENTITY e 'SECRET'>");
    ASSERT_TRUE(doc.ParseText("<!DOCTYPE a SYSTEM 'file://" + dtd + "'><a>x&e;</a>"));
    EXPECT_EQ(doc.Root().Text(), "x");

    wi::test::WireServer server({wi::test::WireReply::Http(200, "<!ENTITY e 'FETCHED'>")});
    ASSERT_TRUE(doc.ParseText("<!DOCTYPE a SYSTEM '" + server.Url("/defs.dtd") + "'><a>x&e;</a>"));
    EXPECT_EQ(doc.Root().Text(), "x");
    server.Stop();
    EXPECT_EQ(server.Connections(), 0u);
}
