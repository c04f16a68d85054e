#include "support/counting_server.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "support/loopback_socket.h"

namespace wi::test {
namespace {

constexpr int kPollMs = 50;
constexpr std::size_t kMaxHead = 65536;
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// NTLM message flags the challenge sets beyond those the client asked for.
constexpr std::uint32_t kNegotiateUnicode = 0x00000001;
constexpr std::uint32_t kNegotiateOem = 0x00000002;
constexpr std::uint32_t kRequestTarget = 0x00000004;
constexpr std::uint32_t kTargetTypeDomain = 0x00010000;
constexpr std::uint32_t kNegotiateTargetInfo = 0x00800000;

std::string Base64(const std::string& bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 2]);
        for (std::size_t k = 0; k < 4; ++k) {
            text += i + k <= bytes.size() ? kBase64[(group >> (18 - 6 * k)) & 63] : '=';
        }
    }
    return text;
}

std::string FromBase64(const std::string& text) {
    std::string bytes;
    std::uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        const char* at = std::strchr(kBase64, c);
        if (c == '\0' || at == nullptr) break;  // '=' or the end of the token
        bits = (bits << 6) | static_cast<std::uint32_t>(at - kBase64);
        if ((count += 6) >= 8) {
            count -= 8;
            bytes += static_cast<char>((bits >> count) & 0xff);
        }
    }
    return bytes;
}

std::uint32_t Little(const std::string& bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size && at + i < bytes.size(); ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

void PutLittle(std::string& bytes, std::uint32_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xff);
}

std::string Utf16(const std::string& ascii) {
    std::string wide;
    for (char c : ascii) wide += std::string{c, '\0'};
    return wide;
}

// The NTLM message type (1, 2, 3) of the bytes; 0 when they are no NTLM message.
int MessageType(const std::string& message) {
    if (message.size() < 12 || message.compare(0, 8, std::string("NTLMSSP\0", 8)) != 0) return 0;
    return static_cast<int>(Little(message, 8, 4));
}

// The security buffer at the offset of an NTLM message: the bytes it points to.
std::string Field(const std::string& message, std::size_t at) {
    const std::size_t length = Little(message, at, 2);
    const std::size_t offset = Little(message, at + 4, 4);
    if (offset > message.size() || length > message.size() - offset) return "";
    return message.substr(offset, length);
}

// The challenge: the client's flags with the target's name and information added, a fixed
// server challenge, and the domain and computer names clients want for NTLMv2.
std::string ChallengeMessage(std::uint32_t clientFlags) {
    std::uint32_t flags = clientFlags | kRequestTarget | kTargetTypeDomain | kNegotiateTargetInfo;
    if (flags & kNegotiateUnicode) flags &= ~kNegotiateOem;
    const std::string target = Utf16("WORK");
    std::string info;
    // The domain's name (2) and the computer's (1).
    for (const auto& pair :
         {std::make_pair(2u, Utf16("WORK")), std::make_pair(1u, Utf16("SERVER"))}) {
        PutLittle(info, pair.first, 2);
        PutLittle(info, static_cast<std::uint32_t>(pair.second.size()), 2);
        info += pair.second;
    }
    PutLittle(info, 0, 4);  // the end of the list
    constexpr std::uint32_t kPayload = 48;
    std::string message("NTLMSSP\0", 8);
    PutLittle(message, 2, 4);
    PutLittle(message, static_cast<std::uint32_t>(target.size()), 2);
    PutLittle(message, static_cast<std::uint32_t>(target.size()), 2);
    PutLittle(message, kPayload, 4);
    PutLittle(message, flags, 4);
    message += "\x01\x23\x45\x67\x89\xab\xcd\xef";  // the server challenge
    message += std::string(8, '\0');
    PutLittle(message, static_cast<std::uint32_t>(info.size()), 2);
    PutLittle(message, static_cast<std::uint32_t>(info.size()), 2);
    PutLittle(message, kPayload + static_cast<std::uint32_t>(target.size()), 4);
    return message + target + info;
}

// The user an authenticate message names (UTF-16 names read as ASCII).
std::string UserOf(const std::string& message) {
    const std::string raw = Field(message, 36);
    if ((Little(message, 60, 4) & kNegotiateUnicode) == 0) return raw;
    std::string user;
    for (std::size_t i = 0; i < raw.size(); i += 2) user += raw[i];
    return user;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The value of a header (name in lower case) of a request head; "" when absent.
std::string HeaderValue(const std::string& head, const std::string& name) {
    const std::size_t at = Lower(head).find("\r\n" + name + ":");
    if (at == std::string::npos) return "";
    std::size_t begin = at + name.size() + 3;
    while (begin < head.size() && head[begin] == ' ') ++begin;
    return head.substr(begin, head.find("\r\n", begin) - begin);
}

// The NTLM message of an "Authorization: NTLM <base64>" header; "" for any other.
std::string NtlmMessage(const std::string& head) {
    const std::string value = HeaderValue(head, "authorization");
    if (Lower(value.substr(0, 5)) != "ntlm ") return "";
    return FromBase64(value.substr(5));
}

void SendAll(int connection, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const long n = sock::Send(connection, bytes.data() + sent, bytes.size() - sent);
        if (n < 0 && sock::Interrupted()) continue;
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

std::string Reply(int status, const std::string& headers, const std::string& body) {
    return "HTTP/1.1 " + std::to_string(status) + (status == 200 ? " OK" : " Unauthorized") +
           "\r\n" + headers + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

}  // namespace

CountingServer::CountingServer(std::string ntlmUser) : ntlmUser_(std::move(ntlmUser)) {
    StartServing([this](int connection, std::size_t number) { Serve(connection, number); });
}

CountingServer::~CountingServer() { Stop(); }

std::vector<CountedRequest> CountingServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void CountingServer::Stop() { StopServing(); }

void CountingServer::Serve(int connection, std::size_t number) {
    std::string pending;
    bool challenged = false;  // this connection has had the NTLM challenge
    while (!Stopping()) {
        CountedRequest request;
        request.connection = number;
        const bool complete = ReadRequest(connection, pending, request);
        if (request.head.empty()) break;
        const std::string message = NtlmMessage(request.head);
        request.ntlmMessage = MessageType(message);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(request);
        }
        if (!complete) break;
        SendAll(connection, Answer(message, challenged));
    }
    sock::Close(connection);
}

std::string CountingServer::Answer(const std::string& message, bool& challenged) {
    if (ntlmUser_.empty()) return Reply(200, "", "TRUE");
    if (MessageType(message) == 1) {
        challenged = true;
        return Reply(401, "WWW-Authenticate: NTLM " +
                              Base64(ChallengeMessage(Little(message, 12, 4))) + "\r\n",
                     "challenge");
    }
    const bool accepted = MessageType(message) == 3 && challenged &&
                          UserOf(message) == ntlmUser_ && Field(message, 20).size() >= 24;
    challenged = false;
    return accepted ? Reply(200, "", "TRUE") : Reply(401, "WWW-Authenticate: NTLM\r\n", "denied");
}

// Reads one request, its body counted as it passes. False when the peer closes or the server
// stops before the request is complete.
bool CountingServer::ReadRequest(int connection, std::string& pending, CountedRequest& request) {
    static thread_local std::vector<char> buffer(1 << 18);
    std::uint64_t left = 0;
    bool inBody = false;
    // Counts the body bytes at the front of the data; returns how many it took.
    const auto count = [&](const char* data, std::size_t size) {
        const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(left, size));
        const std::size_t keep = std::min(take, kKeptBodyBytes - request.bodyStart.size());
        request.bodyStart.append(data, keep);
        if (take > 0) request.lastByte = data[take - 1];
        request.bodyBytes += take;
        left -= take;
        return take;
    };
    for (;;) {
        if (!inBody) {
            const std::size_t blank = pending.find("\r\n\r\n");
            if (blank != std::string::npos) {
                request.head = pending.substr(0, blank + 4);
                pending.erase(0, blank + 4);
                request.announced =
                    std::strtoull(HeaderValue(request.head, "content-length").c_str(), nullptr, 10);
                left = request.announced;
                inBody = true;
                pending.erase(0, count(pending.data(), pending.size()));
            } else if (pending.size() > kMaxHead) {
                return false;
            }
        }
        if (inBody && left == 0) return request.complete = true;
        if (Stopping()) return false;
        if (sock::PollOne(connection, POLLIN, kPollMs) <= 0) continue;
        const long n = sock::Receive(connection, buffer.data(), buffer.size());
        if (n < 0 && sock::Interrupted()) continue;
        if (n <= 0) {
            if (!inBody) request.head = pending;  // what arrived of a head cut off
            return false;
        }
        // Body bytes are counted straight from the buffer; only what follows them is kept.
        const std::size_t taken = inBody ? count(buffer.data(), static_cast<std::size_t>(n)) : 0;
        pending.append(buffer.data() + taken, static_cast<std::size_t>(n) - taken);
    }
}

}  // namespace wi::test
