// The operation log: entries of protections, repairs and restores, uploaded as one document.
#pragma once

#include <list>
#include <string>

#include "webinteractive/export.h"

struct LogInfo {
    std::string guid, special_code, result;
    std::list<std::string> details;
};

class WI_EXPORT CLogInc {
public:
    void SetParam(const char* configText, const char* type, const char* source);
    void StartLog();
    void SaveOneLog(const LogInfo& entry);
    int StopLog();
};
