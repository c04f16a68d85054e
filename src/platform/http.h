// HTTP transfers below the library: a download running on a worker thread, and the transport
// of an upload exchange that the caller drives one request at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace wi::platform {

// ---- downloads ----

// Why a download could not be started.
enum DownloadStartError : int {
    kDownloadStarted = 0,
    kDownloadBadAddress = 1,     // not an http or https address that can be parsed
    kDownloadAlreadyStarted = 2,
    kDownloadNoWorker = 3,       // the transfer or its worker could not be set up
};

// One download of an address into a local file, carried out in the background. The body is
// written beside the file and takes its place only when the whole body of a successful (2xx)
// answer has arrived: error pages, cut-off and cancelled transfers leave the old file (or no
// file) and no partial one.
class DownloadTransfer {
public:
    virtual ~DownloadTransfer() = default;  // cancels a running transfer and waits for its end
    // Before Start: a body of more than maxBytes bytes fails the transfer as soon as they have
    // arrived, or at once when the answer announces a larger length. Nothing is stored then, and
    // what was written beside the file goes. 0, the default, sets no bound.
    virtual void LimitBody(std::uint64_t maxBytes) = 0;
    // Before Start: the transfer advances only while the caller waits in WaitForEnd, on the
    // caller's own thread, with no thread switch per download. For a caller that waits anyway
    // and cancels, if at all, from that thread. A backend that cannot runs its worker as usual.
    virtual void RunWhileWaited() = 0;
    // Begins fetching the address (redirects followed) into the Windows path and returns at once.
    virtual DownloadStartError Start(const std::string& url, const std::string& localPath) = 0;
    // True once the transfer has ended, successfully or not (also after Cancel).
    virtual bool IsFinished() const = 0;
    // After the end: true when the complete body of a 2xx answer was stored at the path.
    virtual bool GetResult() const = 0;
    // After the end: the HTTP status of the last answer received (after the redirects
    // followed); 0 when none arrived.
    virtual int GetStatusCode() const = 0;
    // The size of the file; 0 or less while not yet known.
    virtual std::int64_t GetTotalSize() const = 0;
    virtual std::int64_t GetDownloadedSize() const = 0;
    // Asks the transfer to stop; IsFinished becomes true soon after.
    virtual void Cancel() = 0;
    // Waits until the transfer ends or the time has passed; true when it has ended.
    virtual bool WaitForEnd(unsigned milliseconds) = 0;
};

std::unique_ptr<DownloadTransfer> CreateDownloadTransfer();

// A download that receives less than a byte a second over this many seconds (nothing at all, or
// a trickle) fails, and the old file stays; a connect gets no longer either.
constexpr unsigned kDownloadStallSeconds = 30;

// For tests only: downloads started from now on use this stall limit instead, so that a test
// need not wait half a minute; 0 puts kDownloadStallSeconds back.
void SetDownloadStallLimitForTesting(unsigned seconds);

// ---- uploads ----

enum AuthScheme : unsigned {
    kAuthNone = 0,
    kAuthBasic = 1u << 0,
    kAuthNtlm = 1u << 1,
    kAuthPassport = 1u << 2,
    kAuthDigest = 1u << 3,
    kAuthNegotiate = 1u << 4,
};

enum AuthTarget { kAuthServer, kAuthProxy };

// The body of a request, read again from its start for every request that carries it.
class BodySource {
public:
    virtual ~BodySource() = default;
    // Goes back to the first byte; false when that is impossible.
    virtual bool Rewind() = 0;
    // Fills at most size bytes; returns their number (0 at the end) or -1 on failure.
    virtual long long Read(char* buffer, std::size_t size) = 0;
};

// The outcome of one request of an exchange.
enum class ExchangeResult {
    kAnswered,     // a response arrived; its status, schemes and body can be read
    kSendFailed,   // the request or its body could not be sent
    kResend,       // the transport asks for the same request to be sent again
    kNoResponse,   // no response arrived
};

// The transport of an upload: one client instance, one connection target and one POST request,
// which Send may carry out several times (once per authentication round of the caller).
class UploadExchange {
public:
    static constexpr std::size_t kBodyPiece = 4096;  // the most bytes written at once
    static constexpr std::size_t kKeptBody = 65536;  // response bytes kept; the rest is dropped

    virtual ~UploadExchange() = default;
    // The client instance: its user agent and, when proxyServer ("host:port") is not empty, that
    // proxy for every host whose name holds a dot (names without one are local and go direct).
    // Without one the system's default proxy settings apply (on posix the http_proxy,
    // https_proxy, all_proxy and no_proxy variables).
    virtual bool Open(const std::string& userAgent, const std::string& proxyServer) = 0;
    virtual bool Connect(const std::string& host, int port) = 0;
    // A POST of the path with its query, over TLS when secure. Headers: "Accept: */*", the
    // Content-Length of the body, the user agent; no Content-Type, no "Expect".
    virtual bool OpenRequest(const std::string& pathWithQuery, bool secure) = 0;
    // Credentials for one scheme, used by every later Send. They answer the challenge of the
    // latest response (for Digest, the latest one that offered it), so that the next Send is one
    // request carrying both the body and the credentials; connection-bound handshakes (NTLM,
    // Negotiate) may add bodiless requests of their own within that Send.
    virtual bool SetCredentials(AuthTarget target, AuthScheme scheme, const std::string& user,
                                const std::string& password) = 0;
    // Sends the request announcing length bytes, writes the body taken from the source in pieces
    // of at most kBodyPiece bytes (the transport may join pieces into larger socket writes), and
    // receives the response.
    virtual ExchangeResult Send(std::uint64_t length, BodySource& body) = 0;
    // Of the latest response.
    virtual int StatusCode() const = 0;
    // The schemes the latest response's challenges offer and the transport can answer (a mask
    // of AuthScheme); a Digest challenge with another algorithm than MD5 or MD5-sess, or with
    // only qop "auth-int", does not count.
    virtual unsigned OfferedSchemes(AuthTarget target) const = 0;
    // The first bytes of the latest response's body (at most kKeptBody).
    virtual const std::string& Body() const = 0;
};

std::unique_ptr<UploadExchange> CreateUploadExchange();

// ---- trust ----

// Certificates of this PEM file are the only trusted authorities of later transfers; "" puts
// the system's store back. For tests that bring their own authority.
void SetTrustedCaFile(const std::string& path);

}  // namespace wi::platform
