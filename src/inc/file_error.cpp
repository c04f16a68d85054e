// CXException and the messages of failed file operations.
#include "inc/file_error.h"

#include <cstdio>
#include <exception>
#include <utility>

#include "inc/narrow_text.h"
#include "platform/errors.h"
#include "webinteractive/FileOperator.h"

CXException::CXException(std::string sourceFile, int line, std::string operation,
                         std::string message, int category)
    : sourceFile(std::move(sourceFile)),
      line(line),
      operation(std::move(operation)),
      message(std::move(message)),
      category(category) {}

namespace wi::inc {
namespace {

constexpr const char* kSourceFile = "inc/FileOperator.h";
constexpr int kLine = 1061;
constexpr int kCategory = 2;

const std::string& BadPathText() {
    static const std::string text = NarrowFromUtf8("错误的文件名或路径名");  // wrong file or path name
    return text;
}

const std::string& UnknownErrorText() {
    static const std::string text = NarrowFromUtf8("未知错误");  // unknown error
    return text;
}

}  // namespace

std::string FileErrorMessage(std::uint32_t code) {
    char head[64];
    std::snprintf(head, sizeof head, "code:%d\r\n", static_cast<int>(code));
    std::string message = head;
    message += "information: \r\n";
    if (code < CXFileOperator::kBadPathError) {
        message += wi::platform::SystemErrorText(code);
    } else if (code == CXFileOperator::kBadPathError) {
        message += BadPathText();
    } else {
        message += UnknownErrorText();
    }
    return message;
}

void RaiseFileError(const char* operation) {
    const std::uint32_t code = wi::platform::LastError();
    CXException error(kSourceFile, kLine, operation, FileErrorMessage(code), kCategory);
    // The handler must still find the code as the thread's last error. Looking up the system's
    // message may change it, and so may the C++ runtime when it sets up its exception state at
    // the first throw (the Windows runtime does): that state is set up here by asking it
    // something (volatile, so the call stays), and then the code is put back.
    volatile int pending = std::uncaught_exceptions();
    static_cast<void>(pending);
    wi::platform::SetLastError(code);
    throw error;
}

}  // namespace wi::inc
