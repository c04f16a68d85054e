// The exact request a probe sends, written out once for the tests that check the wire.
#pragma once

#include <string>

namespace wi::test {

inline std::string ProbeRequestText(const std::string& method, const std::string& resource,
                                    const std::string& host) {
    return method + " " + resource + " HTTP/1.1\r\n" + "Host: " + host + "\r\n" +
           "User-Agent: \r\n"
           "Accept: */*\r\n"
           "Accept-Language: en-us,en;q=0.5\r\n"
           "Connection: close\r\n"
           "\r\n";
}

}  // namespace wi::test
