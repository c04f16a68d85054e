// A configuration entry for the repair tests.
#pragma once

#include <string>

#include "webinteractive/records.h"

namespace wi::test {

inline IConfInfoInc::_ConfInfo Entry(const std::string& source, const std::string& key,
                                     const std::string& value, int type = 1, int action = 1) {
    IConfInfoInc::_ConfInfo entry;
    entry.Source = source;
    entry.Key = key;
    entry.Value = value;
    entry.Type = type;
    entry.Action = action;
    return entry;
}

}  // namespace wi::test
