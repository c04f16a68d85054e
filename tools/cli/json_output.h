// The CLI's --json results, as nlohmann's JSON with members in the order they are set. Texts
// come in the narrow code page and are stored as UTF-8; a character that cannot be converted
// becomes U+FFFD, so a document is always valid JSON.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace cli::json {

using Value = nlohmann::ordered_json;

// A text in the narrow code page, as a JSON string.
Value Text(const std::string& narrow);

// The document on one line.
std::string Write(const Value& document);

// The narrow text as UTF-8, each character the conversion refuses becoming U+FFFD.
std::string Utf8FromNarrow(const std::string& narrow);

}  // namespace cli::json
