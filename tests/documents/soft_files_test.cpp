// A software's file posted under its two-part name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_machine.h"
#include "support/wire_server.h"
#include "webinteractive/documents.h"

namespace {

using wi::test::WireReply;
using wi::test::WireServer;

TEST(SoftFiles, PostsTheFileUnderTheEncodedNameParts) {
    wi::test::TempMachine machine;
    wi::test::TempMachine::WriteHostFile(machine.HostPath("C:\\a.txt"), "file bytes");
    WireServer wire({WireReply::Http(200, "TRUE")});

    EXPECT_EQ(1, IWebInteractive::UploadSoftFiles(wire.Url("/files").c_str(), "my dir", "a.txt",
                                                  "C:\\a.txt"));
    EXPECT_EQ(1, IWebInteractive::UploadSoftFiles(wire.Url("/files?k=1").c_str(), "中", nullptr,
                                                  "C:\\a.txt"));
    // A missing file goes as an empty body.
    EXPECT_EQ(1, IWebInteractive::UploadSoftFiles(wire.Url("/f").c_str(), "d", "b",
                                                  "C:\\missing.txt"));

    const auto requests = wire.Requests();
    ASSERT_EQ(3u, requests.size());
    // The backslash between the parts goes unencoded.
    EXPECT_EQ(0u, requests[0].head.rfind("POST /files?filename=my%20dir\\a%2etxt HTTP/1.1\r\n", 0))
        << requests[0].head;
    EXPECT_EQ("file bytes", requests[0].body);
    EXPECT_EQ(0u, requests[1].head.rfind("POST /files?k=1&filename=%e4%b8%ad\\ HTTP/1.1\r\n", 0))
        << requests[1].head;
    EXPECT_EQ("", requests[2].body);
    EXPECT_TRUE(std::filesystem::exists(machine.HostPath("C:\\a.txt")));  // never deleted
}

TEST(SoftFiles, AnEmptyFirstPartOrNoServiceGivesZero) {
    wi::test::TempMachine machine;
    wi::test::TempMachine::WriteHostFile(machine.HostPath("C:\\a.txt"), "x");
    WireServer wire({WireReply::Http(200, "TRUE")});
    EXPECT_EQ(0, IWebInteractive::UploadSoftFiles(wire.Url("/f").c_str(), "", "a", "C:\\a.txt"));
    EXPECT_EQ(0, IWebInteractive::UploadSoftFiles(wire.Url("/f").c_str(), nullptr, "a", "C:\\a.txt"));
    EXPECT_TRUE(wire.Requests().empty());
    wire.Stop();
    EXPECT_EQ(0, IWebInteractive::UploadSoftFiles(wire.Url("/f").c_str(), "d", "a", "C:\\a.txt"));
}

}  // namespace
