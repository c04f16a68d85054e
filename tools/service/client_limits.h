// How long the service waits for a client, and how many connections one client address may hold:
// a client that sends slowly, or opens many connections and sends nothing, must not keep the
// service from answering everyone else.
#pragma once

#include <cstddef>

namespace wi::service {

struct ClientLimits {
    // The request line and headers of a request must have arrived this long after its first
    // byte.
    int headerSeconds = 10;
    // A body must have arrived this long after its headers, plus a second for every
    // bodyBytesPerSecond bytes received so far: a client sending at least that fast is never
    // cut off.
    int bodySeconds = 30;
    std::size_t bodyBytesPerSecond = 4096;
    // Connections open at once from one address; further ones are answered 503 and closed.
    // 0: no limit (behind a proxy every connection comes from the proxy's address).
    std::size_t connectionsPerAddress = 64;
};

}  // namespace wi::service
