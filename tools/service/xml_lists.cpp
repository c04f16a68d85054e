#include "xml_lists.h"

#include <set>
#include <tuple>

#include "xml_tree.h"

namespace fs = std::filesystem;

namespace wi::service {

bool IsReadableDocument(const fs::path& path) { return ParseDocument(path) != nullptr; }

std::string SoftwareIdList(const std::vector<fs::path>& softLists) {
    xmlNode* root = nullptr;
    const Doc answer = NewDocument("softwares", &root);
    std::set<std::tuple<std::string, std::string, std::string>> seen;
    for (const fs::path& path : softLists) {
        const Doc doc = ParseDocument(path);
        const xmlNode* top = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
        if (!top || !NameIs(top, "softwares")) continue;
        for (const xmlNode* software = top->children; software; software = software->next) {
            const xmlNode* base = NameIs(software, "software") ? Child(software, "BaseInfo") : nullptr;
            if (!base) continue;
            const auto key = std::make_tuple(Text(Child(base, "GUID")), Text(Child(base, "pn_name")),
                                             Text(Child(base, "pn_version")));
            if (!seen.insert(key).second) continue;
            xmlNode* entry = xmlNewChild(root, nullptr, reinterpret_cast<const xmlChar*>("software"), nullptr);
            xmlNode* info = xmlNewChild(entry, nullptr, reinterpret_cast<const xmlChar*>("BaseInfo"), nullptr);
            AddText(info, "GUID", std::get<0>(key));
            AddText(info, "pn_name", std::get<1>(key));
            AddText(info, "pn_version", std::get<2>(key));
        }
    }
    return Serialise(answer.get());
}

std::optional<std::string> SoftwareFileList(const std::vector<fs::path>& fileLists,
                                            const std::string& guid) {
    for (const fs::path& path : fileLists) {
        const Doc doc = ParseDocument(path);
        const xmlNode* top = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
        if (!top || !NameIs(top, "softwares")) continue;
        for (const xmlNode* software = top->children; software; software = software->next) {
            if (!NameIs(software, "software") || !HoldsGuid(software, guid)) continue;
            xmlNode* root = nullptr;
            const Doc answer = NewDocument("softwares", &root);
            AppendCopy(root, software);
            return Serialise(answer.get());
        }
    }
    return std::nullopt;
}

std::optional<std::string> QelUser(const std::vector<fs::path>& userDocuments,
                                   const std::string& machineNum) {
    for (const fs::path& path : userDocuments) {
        const Doc doc = ParseDocument(path);
        const xmlNode* top = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
        if (!top || !NameIs(top, "user")) continue;
        const xmlNode* qelUser = Child(top, "qeluser");
        if (qelUser && Text(Child(top, "machinenum")) == machineNum) return Text(qelUser);
    }
    return std::nullopt;
}

std::string UserAnswer(const std::string& qelUser) {
    xmlNode* root = nullptr;
    const Doc answer = NewDocument("user", &root);
    AddText(root, "qeluser", qelUser);
    return Serialise(answer.get());
}

}  // namespace wi::service
