#include "store/protect_item.h"

#include "frame/text.h"
#include "inc/narrow_text.h"
#include "platform/narrow_path.h"
#include "store/protect_document.h"
#include "store/protected_table.h"
#include "store/store_layout.h"
#include "store/document_replace.h"
#include "userinfo/user_xml_path.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/status.h"

namespace wi::store {

namespace {

using wi::frame::FillIn;
using wi::inc::NarrowFromUtf8;

// Appends the line, filled with the source, to the entry's details and shows it to the host.
void ReportLine(const std::string& format, const std::string& source, LogInfo& entry) {
    std::string line = FillIn(format, source);
    entry.details.push_back(line);
    IHelperInc::SetStatus(line);
}

// Where the part of a source path after its first ":\" begins; npos when it has none.
std::string::size_type AfterDriveRoot(const std::string& source) {
    for (std::string::size_type colon = wi::platform::FindNarrowChar(source, ":");
         colon != std::string::npos;
         colon = wi::platform::FindNarrowChar(source, ":", colon + 1)) {
        if (colon + 1 < source.size() && source[colon + 1] == '\\') return colon + 2;
    }
    return std::string::npos;
}

// True when a component of the relative path is "..": its copy would land outside the store.
bool ClimbsUp(const std::string& relative) {
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type end = wi::platform::FindNarrowChar(relative, "\\/", start);
        const std::string component = relative.substr(start, end - start);
        if (component == "..") return true;
        if (end == std::string::npos) return false;
        start = end + 1;
    }
}

// Copies the source over the destination when the source exists, then shows the progress line.
void CopyWhenPresent(const std::string& source, const std::string& destination,
                     const std::string& progress) {
    if (!CXFileOperator::PathExists(source)) return;
    CXFileOperator::CopyFile(source, destination, false);
    IHelperInc::MakeStatus(progress.c_str(), source.c_str());
}

// Makes the directory and every missing one above it, in this process. A protection makes up to
// one directory per directory of the software, and starting the command interpreter for each
// (as IWebInteractive::MakesureDirExist does) costs more than copying the files themselves. A
// directory that cannot be made is left missing: its item's copy then fails.
void MakeDirectory(const std::string& directory) {
    if (CXFileOperator::PathExists(directory)) return;
    try {
        CXFileOperator::InsureDirectoryExist(directory);
    } catch (const CXException&) {
    }
}

int ProtectFile(const std::string& source, const std::string& guid, const std::string& version,
                ItemKind kind, LogInfo& entry, int a, int b, const ProtectTexts& texts,
                const std::string& root) {
    const std::string directory = kind == kSoftwareFile
                                      ? root + guid + "\\" + version + "\\"
                                      : root + "Dependence\\";
    MakeDirectory(directory);
    const std::string::size_type relativeStart = AfterDriveRoot(source);
    if (relativeStart == std::string::npos) return 0;
    const std::string relative = source.substr(relativeStart);
    const std::string destination = directory + relative;

    // A path that climbs out of the store is not copied: it fails as a missing file does.
    if (!ClimbsUp(relative)) {
        const std::string sourceDirectory = CXFileOperator::GetDirectoryPart(source);
        const std::string::size_type directoryStart = AfterDriveRoot(sourceDirectory);
        MakeDirectory(directory + (directoryStart == std::string::npos
                                       ? std::string()
                                       : sourceDirectory.substr(directoryStart)));
        CopyWhenPresent(source, destination, texts.copying[kind]);
        if (CXFileOperator::PathExists(destination)) {
            CurrentProtectRecord().files.emplace_back(source, destination);
            ReportLine(texts.stored[kind], source, entry);
            return 1;
        }
    }
    ReportLine(texts.notStored[kind], source, entry);
    return kind == kSoftwareFile && (a != 0 || b != 0) ? 1 : 0;
}

}  // namespace

ProtectTexts::ProtectTexts()
    : noRoom(NarrowFromUtf8("磁盘空间不足，无法保护！")),  // not enough disk space
      copying{NarrowFromUtf8("正在保护文件%s..."),            // protecting file
              NarrowFromUtf8("正在保护依赖文件%s..."),        // protecting dependence file
              NarrowFromUtf8("正在保护注册表信息文件%s..."),  // protecting the registry file
              NarrowFromUtf8("正在保存保护信息文件%s..."),    // saving the protection file
              NarrowFromUtf8("正在保存用户信息文件%s...")},   // saving the user file
      stored{NarrowFromUtf8("文件%s 保护成功"), NarrowFromUtf8("依赖文件%s 保护成功"),
             NarrowFromUtf8("注册表信息文件%s 保护成功"), NarrowFromUtf8("保护信息文件%s 保存成功"),
             NarrowFromUtf8("用户信息文件%s 保存成功")},
      notStored{NarrowFromUtf8("文件%s 保护失败"), NarrowFromUtf8("依赖文件%s 保护失败"),
                NarrowFromUtf8("注册表信息文件%s 保护失败"),
                NarrowFromUtf8("保护信息文件%s 保存失败"),
                NarrowFromUtf8("用户信息文件%s 保存失败")} {}

int ProtectItemToLocal(const std::string& source, const std::string& guid,
                       const std::string& version, ItemKind kind, LogInfo& entry, int a, int b,
                       const ProtectTexts& texts) {
    if (guid.empty() || version.empty()) return 0;
    const std::string root = kind == kUserDocument
                                 ? wi::userinfo::GetUserXmlPath()
                                 : ChooseStoreRoot(CXFileOperator::GetPathSize(source) / 1024);
    // The drive C: holds the system and the scratch copies: the store never goes there.
    if (root.compare(0, 2, "C:") == 0 || (root.empty() && kind != kUserDocument)) {
        entry.details.push_back(texts.noRoom);
        return 0;
    }

    if (kind == kSoftwareFile || kind == kDependenceFile) {
        return ProtectFile(source, guid, version, kind, entry, a, b, texts, root);
    }

    std::string destination;
    if (kind == kConfigDocument) {
        const std::string directory = root + guid + "\\" + version + "\\";
        MakeDirectory(directory);
        destination = directory + "Config.xml";
    } else if (kind == kProtectDocument) {
        const std::string directory = root + guid + "\\";
        MakeDirectory(directory);
        destination = directory + "Protect.xml";
    } else {
        destination = root;
    }

    // The documents index the store: each is replaced whole or not at all.
    if (CXFileOperator::PathExists(source)) {
        ReplaceStoreDocument(source, destination);
        IHelperInc::MakeStatus(texts.copying[kind].c_str(), source.c_str());
    }
    if (!CXFileOperator::PathExists(destination)) {
        ReportLine(texts.notStored[kind], source, entry);
        return 0;
    }
    if (kind == kConfigDocument) CurrentProtectRecord().files.emplace_back("C:\\Config.xml", destination);
    if (kind == kProtectDocument) RememberProtection(guid, destination);
    ReportLine(texts.stored[kind], source, entry);
    return 1;
}

}  // namespace wi::store
