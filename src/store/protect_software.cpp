// IWebInteractive::ProtectFilesToLocal: a software's files, dependences, configuration document,
// protect document and the user document into the store, as one logged protection.
#include <string>

#include "inc/narrow_text.h"
#include "platform/events.h"
#include "store/protect_document.h"
#include "store/protect_item.h"
#include "store/store_layout.h"
#include "store/store_lock.h"
#include "store/user_document.h"
#include "frame/drives.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"
#include "webinteractive/status.h"
#include "webinteractive/store.h"

namespace {

using wi::inc::NarrowFromUtf8;
using wi::store::ProtectItemToLocal;

bool Cancelled(void* cancelEvent) {
    return cancelEvent != nullptr && wi::platform::IsEventSignalled(cancelEvent);
}

// Gives every store directory the hidden, system and read-only attributes, last drive first.
void HideStore() {
    const std::vector<std::string> drives = wi::frame::FixedDrives();
    for (auto drive = drives.rbegin(); drive != drives.rend(); ++drive) {
        const std::string directory = wi::store::StoreDirectory(*drive);
        if (!CXFileOperator::PathExists(directory)) continue;
        std::string command = "/c attrib +h +s +r \"" + directory + "\"";
        IWebInteractive::ExcuseDosCommand(command);
    }
}

}  // namespace

namespace IWebInteractive {

int ProtectFilesToLocal(const ISoftInfoInc::_SoftInfo& soft, void* cancelEvent) {
    const std::string& guid = soft.GUID;
    const std::string& version = soft.Version;
    const std::string startLine = NarrowFromUtf8("开始保护  %s  %s");  // start protecting
    IHelperInc::MakeStatus(startLine.c_str(), guid.c_str(), version.c_str());
    // Both become directory names of the store and part of the cleaning's command line.
    if (!wi::store::IsStoreName(guid) || !wi::store::IsStoreName(version)) return 0;

    wi::store::StoreLock lock;
    const wi::store::ProtectTexts texts;
    const std::string success = NarrowFromUtf8("成功"), failure = NarrowFromUtf8("失败");

    CleanProtectSoftware(guid.c_str());
    std::string cleared = NarrowFromUtf8("清除旧保护数据成功");  // old protection data cleared
    IHelperInc::SetStatus(cleared);

    wi::store::ProtectRecord& record = wi::store::CurrentProtectRecord();
    record = wi::store::ProtectRecord();
    LogInfo entry;
    entry.guid = guid;
    entry.special_code = soft.special_code;

    bool succeeded = true;
    const std::string fileProgress = NarrowFromUtf8("正在保护文件...%s");  // protecting file
    const std::string fileLine = NarrowFromUtf8("保护文件：%s...%s");      // protect file
    for (const IFileInfoInc::_FileInfo& file : soft.files) {
        if (Cancelled(cancelEvent)) break;
        IHelperInc::MakeStatus(fileProgress.c_str(), file.SetupPath.c_str());
        const int stored = ProtectItemToLocal(file.LocalPath, guid, version,
                                              wi::store::kSoftwareFile, entry, file.Category,
                                              file.Type, texts);
        // A file of another category never fails the protection; after the first failure every
        // file reads as failed.
        if (succeeded && stored != 1 && file.Category == 0) succeeded = false;
        IHelperInc::MakeStatus(fileLine.c_str(), file.SetupPath.c_str(),
                               (succeeded ? success : failure).c_str());
    }
    if (Cancelled(cancelEvent)) return 0;

    const std::string dependenceProgress = NarrowFromUtf8("正在保护依赖文件...%s");
    const std::string dependenceLine = NarrowFromUtf8("保护依赖文件：%s...%s");
    for (const IDepInfoInc::_DepInfo& dependence : soft.dependences) {
        if (Cancelled(cancelEvent)) break;
        IHelperInc::MakeStatus(dependenceProgress.c_str(), dependence.SetupPath.c_str());
        // A dependence that is not stored does not fail the protection.
        ProtectItemToLocal(dependence.LocalPath, guid, version, wi::store::kDependenceFile, entry,
                           -1, -1, texts);
        IHelperInc::MakeStatus(dependenceLine.c_str(), dependence.SetupPath.c_str(),
                               (succeeded ? success : failure).c_str());
    }
    if (Cancelled(cancelEvent)) return 0;

    HideStore();

    const std::string configXml = ProtectConfig(soft.configs);
    if (CXFileOperator::PathExists(configXml) &&
        ProtectItemToLocal(configXml, guid, version, wi::store::kConfigDocument, entry, -1, -1,
                           texts) == 0) {
        succeeded = false;
    }

    const std::string savingLine = NarrowFromUtf8("正在保存保护信息  %s  %s");
    IHelperInc::MakeStatus(savingLine.c_str(), guid.c_str(), version.c_str());
    if (succeeded) {
        record.version = version;
        record.installPath = soft.SetupPath;
    } else {
        record.version = "-1";
        record.installPath.clear();
    }
    if (ProtectItemToLocal(wi::store::SaveProtectXml(), guid, version,
                           wi::store::kProtectDocument, entry, -1, -1, texts) == 0) {
        succeeded = false;
    }
    // The user document now names the software (remembered with its protect document).
    ProtectItemToLocal(wi::store::SaveUserXml(), guid, version, wi::store::kUserDocument, entry,
                       -1, -1, texts);

    std::string word = NarrowFromUtf8(succeeded ? "保护成功" : "保护失败");
    entry.result = word;
    GetLogInc()->SaveOneLog(entry);
    if (!succeeded) CleanProtectSoftware(guid.c_str());
    IHelperInc::SetStatus(word);
    return succeeded ? 1 : 0;
}

}  // namespace IWebInteractive
