// Starting a program with CreateProcessW: hidden, no console window, no inherited handles, and
// waited for until it ends.
#include "platform/win32/windows_api.h"

#include "platform/process.h"

#include "platform/win32/wide_path.h"

namespace wi::platform {

bool RunHiddenAndWait(const std::string& program, const std::string& commandLine) {
    std::wstring wideProgram, wideCommandLine;
    if (!win32::ToWideText(program, wideProgram) ||
        !win32::ToWideText(commandLine, wideCommandLine)) {
        return false;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    // CreateProcessW may write into the command line, so it gets a buffer of its own.
    wideCommandLine.push_back(L'\0');
    if (!::CreateProcessW(wideProgram.c_str(), &wideCommandLine[0], nullptr, nullptr, FALSE,
                          CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

}  // namespace wi::platform
