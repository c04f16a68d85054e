// Host parameters: a map in memory, optionally mirrored to a file the host names, which other
// processes may mirror theirs to as well.
#include <mutex>
#include <string>

#include "param_file.h"
#include "webinteractive/status.h"

namespace {

std::mutex parametersMutex;
// What ReadParam answers: the file as last read, with this process's values put in.
wi::status::ParameterMap parameters;
// This process's values that no save has put into the file yet.
wi::status::ParameterMap unsaved;
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
    if (parameterFile.empty()) return;
    unsaved[name] = value;
    // A failed save keeps the values in memory, to be written by the next save, and leaves the
    // file as it was.
    wi::status::ParameterMap merged;
    if (wi::status::SaveParameterChanges(parameterFile, unsaved, merged)) {
        parameters.swap(merged);
        unsaved.clear();
    }
}

bool SetParamFile(const char* path) {
    std::lock_guard<std::mutex> lock(parametersMutex);
    if (path == nullptr || *path == '\0') {
        parameterFile.clear();
        unsaved.clear();
        return true;
    }
    wi::status::ParameterMap loaded;
    if (wi::status::LoadParameterFile(path, loaded) == wi::status::LoadResult::kUnreadable) {
        return false;
    }
    parameters.swap(loaded);
    unsaved.clear();
    parameterFile = path;
    return true;
}

}  // namespace IHelperInc
