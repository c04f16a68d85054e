// The exported string, command and directory utilities.
#include "platform/machine.h"
#include "platform/narrow_path.h"
#include "platform/process.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"

namespace IWebInteractive {

const char* CleanString(std::string& text) {
    // One result per thread: valid until this thread's next call.
    thread_local std::string result;
    result.clear();
    result.reserve(text.size());
    for (char c : text) {
        unsigned char code = static_cast<unsigned char>(c);
        if (code < 1 || code > 31) result += c;
    }
    return result.c_str();
}

void ExcuseDosCommand(std::string& arguments) {
    std::string systemFolder;
    if (!wi::platform::CurrentMachine().GetSpecialFolder(wi::platform::kSystemFolder,
                                                         systemFolder)) {
        return;
    }
    // A command that cannot be started is simply not run; nothing is reported.
    wi::platform::RunHiddenAndWait(systemFolder + "\\cmd.exe", arguments);
}

void MakesureDirExist(std::string& path) {
    // A double quote cannot occur in a Windows name, and inside the quoted mkdir argument it
    // would end the quotes and let the rest of the path name other directories.
    if (wi::platform::FindNarrowChar(path, "\"") != std::string::npos) return;
    if (CXFileOperator::PathExists(path)) return;
    std::string remaining = path;
    if (!wi::platform::EndsWithBackslash(remaining)) remaining += '\\';

    // Walk the path prefix by prefix ("D:\", "D:\a\", "D:\a\b\"), making each missing one, by
    // character (in GBK 0x5C is also a trail byte). A path that starts with a backslash makes
    // nothing; doubled separators collapse.
    std::string prefix;
    std::string::size_type separator = wi::platform::FindNarrowChar(remaining, "\\");
    while (separator != std::string::npos && separator > 0) {
        prefix += remaining.substr(0, separator + 1);
        remaining.erase(0, separator + 1);
        if (!remaining.empty() && remaining[0] == '\\') remaining.erase(0, 1);
        if (!CXFileOperator::PathExists(prefix)) {
            std::string command = "/c mkdir \"" + prefix + "\"";
            ExcuseDosCommand(command);
        }
        separator = wi::platform::FindNarrowChar(remaining, "\\");
    }
}

}  // namespace IWebInteractive
