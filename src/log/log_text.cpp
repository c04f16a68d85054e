#include "log/log_text.h"

#include "platform/codepage.h"
#include "webinteractive/frame.h"

namespace wi::log {

std::string ValidNarrowText(const std::string& text) {
    std::string checked;
    if (platform::NarrowToUtf8(text, checked)) {
        return text;
    }
    std::string valid;
    valid.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = platform::NarrowCharLength(text, at);
        const std::string character = text.substr(at, length);
        valid += platform::NarrowToUtf8(character, checked) ? character : std::string("?");
        at += length;
    }
    return valid;
}

std::string CleanedLogText(const std::string& text) {
    std::string valid = ValidNarrowText(text);
    // CleanString returns a buffer that its next call overwrites: copy it out at once.
    return IWebInteractive::CleanString(valid);
}

}  // namespace wi::log
