// Fuzz target for the service's answer to the user-information reading: any bytes must be taken
// or refused without a crash; a refused answer leaves the path as it was. An answer valid in the
// narrow code page gives exactly what an independent walk of it finds (reference_xml.h): the text
// of the first "qeluser" child of a root named "user" in any letter case when it is a path
// "X:\..." on a fixed drive, else the path as it was. Other answers (read by their declared
// encoding) give a path only from such a document. The target works on a machine of its own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/machine.h"
#include "platform/xml_dom.h"
#include "reference_xml.h"
#include "temporary_machine.h"
#include "userinfo/user_info_answer.h"

namespace ref = wi::fuzz;

namespace {

bool OnFixedDrive(const std::string& path) {
    return path.size() > 3 && path[1] == ':' && path[2] == '\\' &&
           wi::platform::CurrentMachine().IsFixedDrive(path[0]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const wi::fuzz::TemporaryMachine machine("user_info_answer_fuzz");
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

    std::string unused;
    if (ref::ReferenceConvert(ref::ReferenceCodeset(), "UTF-8", answer, unused)) {
        const ref::ReferenceDocument reference(answer);
        if (!reference.Verdict()) return 0;
        const xmlNodePtr root = reference.Root();
        if (parsed != (root != nullptr)) std::abort();
        const xmlNodePtr qeluser =
            ref::NamedAnyCase(root, "user") ? ref::FirstNamed(root, "qeluser") : nullptr;
        const std::string named = qeluser ? ref::TextOf(qeluser) : "";
        if (path != (OnFixedDrive(named) ? named : before)) std::abort();
    } else if (path != before) {
        wi::xml::Document document;
        if (!document.ParseBytes(answer) || !document.Root().NameIs("user")) std::abort();
    }
    return 0;
}
