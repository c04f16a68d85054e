// The system information document: the collector's document and its upload under the machine
// number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document_checks.h"
#include "documents/system_info_collector.h"
#include "frame/config.h"
#include "platform/system_info.h"
#include "support/library_test.h"
#include "support/narrow_literal.h"
#include "support/temp_machine.h"
#include "support/wire_server.h"
#include "webinteractive/documents.h"

namespace {

using wi::test::ChildNames;
using wi::test::Narrow;
using wi::test::Tree;
using wi::test::WireReply;
using wi::test::WireServer;
using wi::xml::Document;

TEST(SystemInfoCollector, DocumentHoldsTheFactsAndTheFixedDrives) {
    wi::test::TempMachine machine;
    wi::platform::SystemFacts facts;
    facts.osName = Narrow("中文") + " Linux\n";
    facts.kernelName = "Linux";
    facts.kernelRelease = "6.1\xFF";
    facts.architecture = "x86_64";
    facts.processorName = "cpu\t1";
    facts.processorCount = 2;
    facts.memoryTotal = 5000000000LL;
    const std::string path = wi::documents::SystemInfoDocumentPath();
    EXPECT_EQ("C:\\ProgramData\\Microsoft\\Windows\\Templates\\systeminfo.xml", path);

    wi::documents::WriteSystemInfoDocument(facts, path);
    const std::string bytes = wi::test::TempMachine::ReadHostFile(machine.HostPath(path));
    EXPECT_EQ(0u, bytes.rfind("<?xml version=\"1.0\" encoding=\"gb2312\"?>", 0)) << bytes;
    EXPECT_NE(std::string::npos, bytes.find("\xD6\xD0\xCE\xC4 Linux")) << bytes;
    Document saved;
    ASSERT_TRUE(saved.ParseFile(path));
    const wi::xml::Element root = saved.Root();
    EXPECT_EQ(Narrow("OperatingSystem{Name=\"中文 Linux\",Version=\"\"}"),
              Tree(root.FirstChild("OperatingSystem")));
    EXPECT_EQ("Kernel{Name=\"Linux\",Release=\"6.1?\",Version=\"\",Architecture=\"x86_64\"}",
              Tree(root.FirstChild("Kernel")));
    EXPECT_EQ("Processor{Name=\"cpu1\",Count=\"2\",ClockMHz=\"\"}",
              Tree(root.FirstChild("Processor")));
    EXPECT_EQ("Memory{TotalBytes=\"5000000000\",AvailableBytes=\"\"}",
              Tree(root.FirstChild("Memory")));
    const std::vector<wi::xml::Element> disks = root.FirstChild("Disks").Children();
    ASSERT_EQ(2u, disks.size());
    EXPECT_EQ("C:", disks[0].FirstChild("Drive").Text());
    EXPECT_EQ("D:", disks[1].FirstChild("Drive").Text());
    EXPECT_NE("", disks[1].FirstChild("TotalBytes").Text());
    EXPECT_EQ((std::vector<std::string>{"OperatingSystem", "Kernel", "Processor", "Memory", "Disks"}),
              ChildNames(root));
}

TEST(SystemInfoCollector, SaveWritesThisMachinesDocumentOrGivesEmpty) {
    wi::test::TempMachine machine;
    const std::string path = IWebInteractive::SaveUpSysInfoXml();
    EXPECT_EQ(wi::documents::SystemInfoDocumentPath(), path);
    Document saved;
    ASSERT_TRUE(saved.ParseFile(path));
    const wi::platform::SystemFacts facts = wi::platform::CollectSystemFacts();
    EXPECT_NE("", facts.kernelName);
    EXPECT_NE("", facts.osName);
    EXPECT_GT(facts.processorCount, 0);
    EXPECT_GT(facts.memoryTotal, 0);
    EXPECT_EQ(facts.kernelRelease, saved.Root().FirstChild("Kernel").FirstChild("Release").Text());
    EXPECT_EQ(std::to_string(facts.memoryTotal),
              saved.Root().FirstChild("Memory").FirstChild("TotalBytes").Text());

    // Where the document cannot be written there is no path, not even to an older document.
    wi::test::BlockedFoldersMachine blocked(machine);
    EXPECT_STREQ("", IWebInteractive::SaveUpSysInfoXml());
}

class UpdateSysInfoTest : public wi::test::LibraryTest {
protected:
    static void Configure(const std::string& upSysUrl, const std::string& machineNum) {
        wi::frame::Configuration config;
        config.upSysUrl = upSysUrl;
        config.machineNum = machineNum;
        wi::frame::SetConfig(config);
    }
    bool DocumentLeft() const {
        return std::filesystem::exists(machine_.HostPath(wi::documents::SystemInfoDocumentPath()));
    }
};

TEST_F(UpdateSysInfoTest, PostsUnderTheMachineNumberAndAcceptsTrue) {
    WireServer wire({WireReply::Http(200, "TRUE"), WireReply::Http(200, "TRUEX and more"),
                     WireReply::Http(200, "true"), WireReply::Http(200, "FALSE"),
                     WireReply::Http(404, "TRUE? no")});
    Configure(wire.Url("/sys"), "A-1");
    EXPECT_EQ(1, IWebInteractive::UpdateSysInfo());
    EXPECT_FALSE(DocumentLeft());
    Configure(wire.Url("/sys?x=1"), "A-1");
    EXPECT_EQ(1, IWebInteractive::UpdateSysInfo());
    EXPECT_EQ(0, IWebInteractive::UpdateSysInfo());
    EXPECT_EQ(0, IWebInteractive::UpdateSysInfo());
    EXPECT_EQ(1, IWebInteractive::UpdateSysInfo());  // a reply beginning with TRUE, whatever the status

    const auto requests = wire.Requests();
    ASSERT_EQ(5u, requests.size());
    EXPECT_EQ(0u, requests[0].head.rfind("POST /sys?machinenum=A%2d1 HTTP/1.1\r\n", 0));
    EXPECT_EQ(0u, requests[1].head.rfind("POST /sys?x=1&machinenum=A%2d1 HTTP/1.1\r\n", 0));
    Document received;
    ASSERT_TRUE(received.ParseBytes(requests[0].body));
    EXPECT_EQ("systeminfo", received.Root().Name());
    EXPECT_FALSE(DocumentLeft());
}

TEST_F(UpdateSysInfoTest, FailuresGiveZeroAndRemoveTheDocument) {
    std::string closedUrl;
    {
        WireServer wire({WireReply::Http(200, "TRUE")});
        closedUrl = wire.Url("/sys");
    }
    Configure(closedUrl, "7");
    EXPECT_EQ(0, IWebInteractive::UpdateSysInfo());
    EXPECT_FALSE(DocumentLeft());
    Configure("", "7");  // before Init: no address
    EXPECT_EQ(0, IWebInteractive::UpdateSysInfo());
    EXPECT_FALSE(DocumentLeft());

    // No document: the empty body goes all the same, and the service decides.
    WireServer wire({WireReply::Http(200, "TRUE")});
    Configure(wire.Url("/sys"), "7");
    {
        wi::test::BlockedFoldersMachine blocked(machine_);
        EXPECT_EQ(1, IWebInteractive::UpdateSysInfo());
    }
    ASSERT_EQ(1u, wire.Requests().size());
    EXPECT_EQ("", wire.Requests()[0].body);
}

}  // namespace
