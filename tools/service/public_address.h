// Where clients reach the service: the base of the absolute addresses that its locators (/install,
// /size, /patch) answer with, also behind a reverse proxy and under a sub-path.
#pragma once

#include <optional>
#include <string>

namespace wi::service {

// An address clients use: scheme "http" or "https", host with an optional port ("[::1]:8080"),
// and a path that begins and ends with '/'.
struct PublicBase {
    std::string scheme;
    std::string authority;
    std::string path = "/";
};

// Reads "http(s)://HOST[:PORT][/PATH]"; nothing when the text is not such an address (another
// scheme, credentials, a query or a fragment, characters a host cannot hold).
std::optional<PublicBase> ParsePublicUrl(const std::string& url);

// A host as an address or a "host:port" text writes it: an IPv6 address in brackets.
std::string BracketedHost(const std::string& host);

struct AddressSettings {
    std::optional<PublicBase> publicBase;  // --public-url
    bool trustProxy = false;                // take X-Forwarded-Proto and X-Forwarded-Host
    std::string listen;                     // the address the server is bound to
    int port = 0;                           // the port it is bound to
};

// What a request says about where its client reached the service.
struct RequestOrigin {
    std::string host;            // the Host header
    std::string forwardedProto;  // X-Forwarded-Proto
    std::string forwardedHost;   // X-Forwarded-Host
};

// The base address for a request, ending in '/': --public-url when given, else "http://" with the
// host the client named (its Host header without the port, which the library's size probe leaves
// out; the server's own address when it names none fit to echo) and the server's own port. With
// trustProxy, a forwarded scheme (http or https) and host replace those; the path stays.
std::string BaseAddress(const AddressSettings& settings, const RequestOrigin& origin);

// The path the clients' requests carry before the service's own ("/webinteractive" for a public
// base "https://host/webinteractive/"; "" at the root): the proxy takes it off, but a Digest
// answer is computed over the address as the client sent it.
std::string ClientPathPrefix(const AddressSettings& settings);

}  // namespace wi::service
