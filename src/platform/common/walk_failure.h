// What a walk that tries every entry (removing a tree) reports when some entry fails: the first
// failure, not the last, as the later ones often follow from it.
#pragma once

#include <cstdint>
#include <string>

namespace wi::platform {

struct FirstFailure {
    // The system's error code recorded for a failure that came with none.
    explicit FirstFailure(std::uint32_t unknownError) : unknown(unknownError) {}

    std::string path;  // the entry's path, as the caller names it
    std::uint32_t error = 0;
    std::uint32_t unknown;

    // Keeps the failure when it is the first; false, for the caller to return.
    bool Record(const std::string& entryPath, std::uint32_t code) {
        if (error == 0) {
            path = entryPath;
            error = code ? code : unknown;
        }
        return false;
    }
};

}  // namespace wi::platform
