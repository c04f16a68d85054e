#include "request_log.h"

#include <cstdio>

namespace wi::service {

namespace {

std::string Escaped(const std::string& text) {
    if (text.empty()) return "-";
    std::string out;
    for (const unsigned char c : text) {
        if (c < 0x20 || c >= 0x7f || c == '"' || c == '\\') {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string LocalTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    char text[40];
    // The C locale's month names, as log readers expect them.
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char zone[8];
    std::strftime(zone, sizeof zone, "%z", &local);
    std::snprintf(text, sizeof text, "%02d/%s/%04d:%02d:%02d:%02d %s", local.tm_mday,
                  kMonths[local.tm_mon % 12], local.tm_year + 1900, local.tm_hour, local.tm_min,
                  local.tm_sec, zone);
    return text;
}

}  // namespace

std::string CombinedLogLine(const LoggedRequest& request) {
    const std::string line = request.method.empty()
                                 ? "-"
                                 : Escaped(request.method + " " + request.target + " " +
                                           request.version);
    const double seconds = std::chrono::duration<double>(request.duration).count();
    char tail[96];
    std::snprintf(tail, sizeof tail, " %d %llu ", request.status, request.bodyBytes);
    char duration[32];
    std::snprintf(duration, sizeof duration, " %.3f", seconds);
    return Escaped(request.client) + " - - [" + LocalTime(request.time) + "] \"" + line + "\"" +
           tail + "\"" + Escaped(request.referer) + "\" \"" + Escaped(request.userAgent) + "\"" +
           duration;
}

std::string LoggedClient(const std::string& peer, const std::string& forwardedFor,
                         bool trustProxy) {
    if (!trustProxy || forwardedFor.empty()) return peer;
    const auto comma = forwardedFor.rfind(',');
    std::string last = forwardedFor.substr(comma == std::string::npos ? 0 : comma + 1);
    const auto begin = last.find_first_not_of(" \t");
    if (begin == std::string::npos) return peer;
    last = last.substr(begin, last.find_last_not_of(" \t") - begin + 1);
    // An address only: digits, hex, dots and colons (IPv6), nothing a log reader could trip on.
    if (last.size() > 45 ||
        last.find_first_not_of("0123456789abcdefABCDEF.:") != std::string::npos) {
        return peer;
    }
    return last;
}

}  // namespace wi::service
