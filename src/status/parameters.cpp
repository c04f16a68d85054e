// Host parameters: a map in memory, optionally mirrored to a file the host names.
#include <mutex>
#include <string>

#include "param_file.h"
#include "webinteractive/status.h"

namespace {

std::mutex parametersMutex;
wi::status::ParameterMap parameters;
std::string parameterFile;  // empty: memory only

}  // namespace

namespace IHelperInc {

std::string& ReadParam(std::string& name) {
    // One result per thread, so a reference stays valid until this thread's next call.
    thread_local std::string result;
    std::lock_guard<std::mutex> lock(parametersMutex);
    auto found = parameters.find(name);
    // Refilled in place: a pointer into the text kept from the last call shows the new one.
    if (found != parameters.end()) {
        result.assign(found->second.data(), found->second.size());
    } else {
        result.clear();
    }
    return result;
}

void SaveParam(std::string& name, std::string& value) {
    std::lock_guard<std::mutex> lock(parametersMutex);
    parameters[name] = value;
    // A failed write keeps the value in memory and leaves the previous file intact.
    if (!parameterFile.empty()) wi::status::SaveParameterFile(parameterFile, parameters);
}

bool SetParamFile(const char* path) {
    std::lock_guard<std::mutex> lock(parametersMutex);
    if (path == nullptr || *path == '\0') {
        parameterFile.clear();
        return true;
    }
    wi::status::ParameterMap loaded;
    if (wi::status::LoadParameterFile(path, loaded) == wi::status::LoadResult::kUnreadable) {
        return false;
    }
    parameters.swap(loaded);
    parameterFile = path;
    return true;
}

}  // namespace IHelperInc
