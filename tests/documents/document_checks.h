// Helpers for the document tests: a document's element tree as one line to compare, the
// temporary documents left behind, and a machine whose folders cannot be written.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/machine.h"
#include "platform/xml_dom.h"
#include "support/forwarding_machine.h"
#include "support/peers.h"
#include "support/temp_machine.h"

namespace wi::test {

// The tree below an element: a value element as name="text", a container as name{child,child}.
inline std::string Tree(const wi::xml::Element& element) {
    const std::vector<wi::xml::Element> children = element.Children();
    if (children.empty()) return element.Name() + "=\"" + element.Text() + "\"";
    std::string tree = element.Name() + "{";
    for (std::size_t i = 0; i < children.size(); ++i) {
        tree += (i ? "," : "") + Tree(children[i]);
    }
    return tree + "}";
}

// The names of the element's children, in order.
inline std::vector<std::string> ChildNames(const wi::xml::Element& element) {
    std::vector<std::string> names;
    for (const wi::xml::Element& child : element.Children()) names.push_back(child.Name());
    return names;
}

// The files in the machine's temporary document folder whose names begin with the base name.
inline std::vector<std::string> TempDocuments(const TempMachine& machine, const std::string& base) {
    std::string folder;
    std::vector<std::string> found;
    if (!wi::platform::CurrentMachine().GetSpecialFolder(wi::platform::kCommonDocuments, folder)) {
        return found;
    }
    for (const auto& entry : std::filesystem::directory_iterator(machine.HostPath(folder))) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(base, 0) == 0) found.push_back(name);
    }
    return found;
}

// The system's machine, except that every special folder is "C:\blocked", a file: nothing can be
// written into them, even by root. Installed for its lifetime.
class BlockedFoldersMachine : public ForwardingMachine {
public:
    explicit BlockedFoldersMachine(const TempMachine& machine) {
        TempMachine::WriteHostFile(machine.HostPath("C:\\blocked"), "not a folder");
        wi::platform::SetMachine(this);
    }
    ~BlockedFoldersMachine() override { wi::platform::SetMachine(nullptr); }

    bool GetSpecialFolder(int, std::string& path) override {
        path = "C:\\blocked";
        return true;
    }
};

}  // namespace wi::test
