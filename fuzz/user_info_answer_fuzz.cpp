// Fuzz target for the service's answer to the user-information reading: any bytes must be taken
// or refused without a crash; a refused answer leaves the path as it was, and a path taken from
// an answer is valid narrow text of a document whose root is "user".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/xml_dom.h"
#include "userinfo/user_info_answer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string answer(reinterpret_cast<const char*>(data), size);
    const std::string before = "\x01unchanged";
    std::string path = before;
    bool parsed = false;
    try {
        parsed = wi::userinfo::ReadUserInfoAnswer(answer, path);
    } catch (const wi::xml::XmlError&) {
        return 0;  // the caller turns an error of the XML library into ""
    }
    if (!parsed && path != before) std::abort();
    if (path != before) {
        wi::xml::Document document;
        if (!document.ParseBytes(answer) || !document.Root().NameIs("user")) std::abort();
    }
    return 0;
}
