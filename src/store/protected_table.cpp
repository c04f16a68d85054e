#include "store/protected_table.h"

#include <mutex>

#include "frame/drives.h"
#include "inc/narrow_text.h"
#include "store/scratch_document.h"
#include "store/store_lock.h"
#include "userinfo/user_xml_path.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/status.h"

namespace wi::store {

namespace {

// Guards the pairs alone: queries read them while Init may be loading them on another thread.
std::mutex tableMutex;

std::vector<ProtectedPair>& Table() {
    static std::vector<ProtectedPair> table;
    return table;
}

// The pairs a parsed user document names, in document order.
std::vector<ProtectedPair> PairsOf(const wi::xml::Document& document) {
    std::vector<ProtectedPair> pairs;
    const wi::xml::Element root = document.Root();
    if (!root.NameIs("user")) return pairs;
    for (const wi::xml::Element& software : root.Children()) {
        if (!software.NameIs("software")) continue;
        std::string guid = software.FirstChild("guid").Text();
        std::string path = software.FirstChild("protect_xml").Text();
        if (!guid.empty() && !path.empty()) pairs.emplace_back(std::move(guid), std::move(path));
    }
    return pairs;
}

}  // namespace

namespace {

// Empties the table and fills it from the user document at this path (none when empty).
int LoadTableFrom(const std::string& userXml) {
    {
        std::lock_guard<std::mutex> lock(tableMutex);
        Table().clear();
    }
    int result = 1;
    std::vector<ProtectedPair> pairs;
    ScratchCopy scratch(kUserScratch);
    if (!userXml.empty() && CXFileOperator::PathExists(userXml)) {
        scratch.CopyFrom(userXml);
        wi::xml::Document document;
        if (scratch.Parse(document)) {
            pairs = PairsOf(document);
        } else {
            // The index of every protection is damaged (cut short by a crash of an older
            // version, or edited): say so, as the queries will find nothing. The next
            // protection writes a whole document again.
            static const std::string damaged = wi::inc::NarrowFromUtf8("用户文档无法读取：%s");
            IHelperInc::MakeStatus(damaged.c_str(), userXml.c_str());
            result = 0;
        }
    }
    // Also removes a scratch file that an interrupted run left behind.
    scratch.Remove();

    std::lock_guard<std::mutex> lock(tableMutex);
    Table() = std::move(pairs);
    return result;
}

}  // namespace

int LoadProtectedTable() {
    StoreLock storeLock;
    if (wi::frame::FixedDrives().empty()) {
        std::lock_guard<std::mutex> lock(tableMutex);
        Table().clear();
        return 1;
    }
    return LoadTableFrom(wi::userinfo::GetUserXmlPath());
}

int RefreshProtectedTable() {
    StoreLock storeLock;
    const std::string userXml = wi::userinfo::StoredUserXmlPath();
    if (userXml.empty()) return 1;
    return LoadTableFrom(userXml);
}

void RememberProtection(const std::string& guid, const std::string& protectXmlPath) {
    std::lock_guard<std::mutex> lock(tableMutex);
    for (ProtectedPair& pair : Table()) {
        if (pair.first == guid) {
            pair.second = protectXmlPath;
            return;
        }
    }
    Table().emplace_back(guid, protectXmlPath);
}

bool FindProtectXml(const std::string& guid, std::string& protectXmlPath) {
    std::lock_guard<std::mutex> lock(tableMutex);
    for (const ProtectedPair& pair : Table()) {
        if (pair.first == guid) {
            protectXmlPath = pair.second;
            return true;
        }
    }
    return false;
}

std::vector<ProtectedPair> ProtectedPairs() {
    std::lock_guard<std::mutex> lock(tableMutex);
    return Table();
}

}  // namespace wi::store
