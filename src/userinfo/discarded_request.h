// The user-information request whose answer nobody uses: sent, waited for, parsed and dropped.
#pragma once

#include <string>

namespace wi::userinfo {

// The longest the request may take in all: a peer that keeps trickling bytes is cut off then.
constexpr unsigned kDiscardedRequestSeconds = 60;

// One GET of the address into a temporary file, waited for on this thread for at most
// `limitSeconds` (the transfer also ends when the peer stalls); the answer is parsed as XML and
// dropped, and the file deleted. Failures end the request quietly.
void RequestAndDiscard(const std::string& url, unsigned limitSeconds = kDiscardedRequestSeconds);

}  // namespace wi::userinfo
