// UploadFile seen through a server that counts the body bytes it receives: a body past 4 GiB,
// and the NTLM handshake with a body.
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "support/counting_server.h"
#include "support/host.h"
#include "transfer/upload_file_fixture.h"

namespace {

using namespace wi::test::upload;
using wi::test::CountedRequest;
using wi::test::CountingServer;

// A sparse file of the machine: a hole of the given length, then one byte "x". It costs no disk
// and reads as zeros; it is removed when it goes.
class SparseFile {
public:
    SparseFile(const wi::test::TempMachine& machine, const std::string& windowsPath,
               std::uint64_t hole)
        : unixPath_(wi::test::host::UnixPath(machine.HostPath(windowsPath))) {
        wi::test::RunShell("truncate -s " + std::to_string(hole) + " '" + unixPath_ +
                           "' && printf x >> '" + unixPath_ + "'");
    }
    ~SparseFile() {
        try {
            wi::test::RunShell("rm -f '" + unixPath_ + "'");
        } catch (const std::exception&) {
        }
    }

private:
    std::string unixPath_;
};

// A length that does not fit 32 bits goes in one request whose body arrives whole.
TEST_F(UploadFileTest, PostsAFileOfFourGibibytesAndOneByteInOneRequest) {
    const SparseFile big(machine_, "C:\\big.bin", std::uint64_t{1} << 32);
    CountingServer server;

    ASSERT_EQ(1, Upload(server.Url("/upload"), "C:\\big.bin"));
    EXPECT_EQ(kSuccess, out_);
    EXPECT_STREQ("TRUE", reply_);
    const std::vector<CountedRequest> requests = server.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_NE(std::string::npos, requests[0].head.find("\r\nContent-Length: 4294967297\r\n"))
        << requests[0].head;
    EXPECT_TRUE(requests[0].complete);
    EXPECT_EQ((std::uint64_t{1} << 32) + 1, requests[0].bodyBytes);
    EXPECT_EQ(std::string(CountingServer::kKeptBodyBytes, '\0'), requests[0].bodyStart);
    EXPECT_EQ('x', requests[0].lastByte);
}

// NTLM: the first request goes without credentials and is refused; the handshake then runs on
// one connection, its negotiate leg without a body and its last leg with the whole body.
TEST_F(UploadFileTest, NtlmHandshakeCarriesTheBodyOnItsLastLegOnly) {
    CountingServer server("carol");
    std::string content(10000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    const std::string path = MakeFile("n.bin", content);

    ASSERT_EQ(1, Upload(WithCredentials(server.Url("/up"), "carol", "secret"), path))
        << "under Wine, NTLM needs ntlm_auth (Debian package winbind)";
    EXPECT_EQ(std::string(kServerAuth) + kSuccess, out_);
    EXPECT_STREQ("TRUE", reply_);
    const std::vector<CountedRequest> requests = server.Requests();
    ASSERT_EQ(3u, requests.size());
    EXPECT_EQ(0, requests[0].ntlmMessage);
    EXPECT_EQ(content, requests[0].bodyStart);
    EXPECT_EQ(1, requests[1].ntlmMessage);
    EXPECT_EQ(0u, requests[1].announced);
    EXPECT_EQ(3, requests[2].ntlmMessage);
    EXPECT_EQ(content.size(), requests[2].announced);
    EXPECT_EQ(content, requests[2].bodyStart);
    EXPECT_EQ(requests[1].connection, requests[2].connection);

    // The handshake for another user fails after its last leg: one exchange more, no retry.
    ASSERT_EQ(1, Upload(WithCredentials(server.Url("/up"), "mallory", "secret"), path));
    EXPECT_EQ(std::string(kServerAuth) + kServerAuth + kServerFailed, out_);
    EXPECT_STREQ("denied", reply_);
    EXPECT_EQ(6u, server.Requests().size());
}

}  // namespace
