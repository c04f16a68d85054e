#include "version_lists.h"

#include <cctype>
#include <set>
#include <tuple>

#include "xml_tree.h"

namespace fs = std::filesystem;

namespace wi::service {

namespace {

const xmlChar* Name(const char* name) { return reinterpret_cast<const xmlChar*>(name); }

// The GUID a "Version" of a "software" belongs to: its own VersionInfo's, else the BaseInfo's.
std::string GuidOfVersion(const xmlNode* software, const xmlNode* version) {
    if (const xmlNode* own = Child(Child(version, "VersionInfo"), "GUID")) return Text(own);
    return Text(Child(Child(software, "BaseInfo"), "GUID"));
}

std::string VersionText(const xmlNode* version) {
    return Text(Child(Child(version, "VersionInfo"), "Version"));
}

// Each top-level "software" of a "softwares" document that names the GUID somewhere.
template <typename Visit>
void ForEachSoftwareNaming(const xmlDoc* doc, const std::string& guid, Visit visit) {
    const xmlNode* top = doc ? xmlDocGetRootElement(doc) : nullptr;
    if (!top || !NameIs(top, "softwares")) return;
    for (const xmlNode* software = top->children; software; software = software->next) {
        if (NameIs(software, "software") && HoldsGuid(software, guid)) visit(software);
    }
}

struct Candidate {
    const xmlNode* version;
    std::string text;
    long major, minor, info;
};

bool Older(const Candidate& a, const Candidate& b) {
    if (OlderVersionText(a.text, b.text)) return true;
    if (OlderVersionText(b.text, a.text)) return false;
    return std::tie(a.major, a.minor, a.info) < std::tie(b.major, b.minor, b.info);
}

const Candidate* Choose(const std::vector<Candidate>& candidates, VersionChoice choice) {
    if (choice.number > 0) {
        for (const Candidate& candidate : candidates) {
            if (candidate.info == choice.number) return &candidate;
        }
    }
    const Candidate* newest = nullptr;
    for (const Candidate& candidate : candidates) {
        if (choice.number > 0 && candidate.major != choice.number) continue;
        if (!newest || Older(*newest, candidate)) newest = &candidate;
    }
    return newest;
}

// The "patchs" of the version with this "Version" text in a patch list document.
const xmlNode* PatchsOfVersion(const xmlDoc* patchList, const std::string& versionText) {
    const xmlNode* top = patchList ? xmlDocGetRootElement(patchList) : nullptr;
    if (!top || !NameIs(top, "softwares")) return nullptr;
    for (const xmlNode* software = top->children; software; software = software->next) {
        for (const xmlNode* version = software->children; version; version = version->next) {
            if (!NameIs(version, "Version") || VersionText(version) != versionText) continue;
            if (const xmlNode* patchs = Child(version, "patchs")) return patchs;
        }
    }
    return nullptr;
}

}  // namespace

bool OlderVersionText(const std::string& a, const std::string& b) {
    const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool numberA = digit(a[i]), numberB = digit(b[j]);
        std::size_t endA = i, endB = j;
        while (endA < a.size() && digit(a[endA]) == numberA) ++endA;
        while (endB < b.size() && digit(b[endB]) == numberB) ++endB;
        std::string runA = a.substr(i, endA - i), runB = b.substr(j, endB - j);
        if (numberA != numberB) return numberB;  // a number is newer than a word ("1.beta" < "1.0")
        if (numberA) {
            runA.erase(0, std::min(runA.find_first_not_of('0'), runA.size()));
            runB.erase(0, std::min(runB.find_first_not_of('0'), runB.size()));
            if (runA.size() != runB.size()) return runA.size() < runB.size();
        }
        if (runA != runB) return runA < runB;
        i = endA;
        j = endB;
    }
    return a.size() - i < b.size() - j;  // "1" < "1.0"
}

std::optional<std::string> PatchList(const std::vector<fs::path>& documents,
                                     const std::string& guid) {
    xmlNode* root = nullptr;
    const Doc answer = NewDocument("softwares", &root);
    xmlNode* out = nullptr;
    std::set<std::string> versionsSeen;
    for (const fs::path& path : documents) {
        const Doc doc = ParseDocument(path);
        ForEachSoftwareNaming(doc.get(), guid, [&](const xmlNode* software) {
            if (!out) {
                out = xmlNewChild(root, nullptr, Name("software"), nullptr);
                // An uploaded file list calls it "Baseinfo"; the patch list has "BaseInfo".
                xmlNode* base = xmlNewChild(out, nullptr, Name("BaseInfo"), nullptr);
                if (const xmlNode* given = Child(software, "BaseInfo")) {
                    for (const xmlNode* value = given->children; value; value = value->next) {
                        AppendCopy(base, value);
                    }
                }
            }
            for (const xmlNode* version = software->children; version; version = version->next) {
                if (!NameIs(version, "Version") || GuidOfVersion(software, version) != guid ||
                    !versionsSeen.insert(VersionText(version)).second) {
                    continue;
                }
                xmlNode* copy = xmlNewChild(out, nullptr, Name("Version"), nullptr);
                if (const xmlNode* info = Child(version, "VersionInfo")) AppendCopy(copy, info);
                if (const xmlNode* patchs = Child(version, "patchs")) AppendCopy(copy, patchs);
            }
        });
    }
    if (!out) return std::nullopt;
    return Serialise(answer.get());
}

std::optional<std::string> CertainFileList(const std::vector<fs::path>& fileLists,
                                           const std::optional<fs::path>& patchList,
                                           const std::string& guid, VersionChoice choice) {
    for (const fs::path& path : fileLists) {
        const Doc doc = ParseDocument(path);
        const xmlNode* found = nullptr;
        ForEachSoftwareNaming(doc.get(), guid, [&found](const xmlNode* software) {
            if (!found) found = software;
        });
        if (!found) continue;

        // The first document naming the GUID is its file list, as /filelist answers it.
        std::vector<Candidate> candidates;
        for (const xmlNode* version = found->children; version; version = version->next) {
            if (!NameIs(version, "Version") || GuidOfVersion(found, version) != guid) continue;
            const xmlNode* info = Child(version, "VersionInfo");
            candidates.push_back({version, VersionText(version), Number(info, "version_major"),
                                  Number(info, "version_minor"), Number(info, "version_info")});
        }
        const Candidate* chosen = Choose(candidates, choice);
        if (!chosen) return std::nullopt;

        xmlNode* root = nullptr;
        const Doc answer = NewDocument("softwares", &root);
        // The software as it stands, with only the chosen one of its versions.
        xmlNode* software =
            xmlAddChild(root, xmlDocCopyNode(const_cast<xmlNode*>(found), answer.get(), 2));
        for (const xmlNode* child = found->children; child; child = child->next) {
            if (!NameIs(child, "Version") || child == chosen->version) {
                AppendCopy(software, child);
            }
        }
        auto* version = const_cast<xmlNode*>(Child(software, "Version"));
        if (version && !Child(version, "patchs") && patchList) {
            const Doc patches = ParseDocument(*patchList);
            if (const xmlNode* patchs = PatchsOfVersion(patches.get(), chosen->text)) {
                AppendCopy(version, patchs);
            }
        }
        return Serialise(answer.get());
    }
    return std::nullopt;
}

}  // namespace wi::service
