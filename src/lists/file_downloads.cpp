// IWebInteractive::DownloadSoftFile, DownloadInstallFile, DownloadInstallFile1 and
// RemoveFileInfo: single files fetched from the service, and the notice that makes it forget one.
#include <string>

#include "frame/query.h"
#include "frame/text.h"
#include "platform/narrow_path.h"
#include "lists/file_downloads_paths.h"
#include "lists/request.h"
#include "transfer/upload_address.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/lists.h"
#include "webinteractive/status.h"
#include "webinteractive/transfer.h"

namespace {

using wi::frame::OrEmpty;

// The value percent-encoded for a query; a null value counts as empty.
std::string Encoded(const char* value) {
    std::string text = OrEmpty(value);
    return wi::frame::EncodeQueryValue(text);
}

// Asks for the install file's address; on an answer, makes sure the directory of the local path
// exists and downloads the file there. 1 when the file arrived. Nothing is created on disk when
// the service does not answer.
int FetchInstallFile(const std::string& url, const std::string& fileName,
                     const std::string& localPath, void* cancelEvent) {
    const std::string request =
        wi::frame::AppendQueryParameter(url, "filename=" + Encoded(fileName.c_str()));
    IHelperInc::MakeStatus("%s : %s", wi::transfer::AddressForDisplay(request).c_str(),
                           fileName.c_str());
    std::string address;
    if (wi::lists::RequestText(request, address, nullptr) != 1) {
        return 0;
    }
    CXFileOperator::InsureDirectoryExist(CXFileOperator::GetDirectoryPart(localPath));
    return IWebInteractive::DownloadFile(address.c_str(), localPath.c_str(), fileName.c_str(),
                                         cancelEvent);
}

}  // namespace

namespace IWebInteractive {

int DownloadSoftFile(const char* url, const char* guid, const char* softCode, const char* fileCode,
                     int fileType, char* pathBuffer) {
    wi::lists::ClearCallerBuffer(pathBuffer);
    std::string localPath = wi::lists::kFallbackDownloadPath;
    const std::string code = OrEmpty(fileCode);
    if (OrEmpty(guid)[0] == '\0' || OrEmpty(softCode)[0] == '\0' || code.empty()) {
        return 0;
    }
    const std::string request = wi::frame::AppendQueryParameter(
        OrEmpty(url), "guid=" + Encoded(guid) + "&soft_code=" + Encoded(softCode) + "&file_code=" +
                          Encoded(fileCode) + "&file_type=" + std::to_string(fileType));
    std::string folder;
    if (wi::lists::DownloadFolder(folder)) {
        // A file of type 1 keeps its file code as its name; any other is a "DownFile".
        localPath = wi::lists::TickedDownloadPath(folder, fileType == 1 ? code : "DownFile");
    }
    if (DownloadFile(request.c_str(), localPath.c_str(), nullptr, nullptr) != 1) {
        return 0;
    }
    wi::lists::CopyToCallerBuffer(pathBuffer, localPath);
    return 1;
}

int DownloadInstallFile(const char* url, const char* subdir, const char* fileName, char* pathBuffer,
                        void* cancelEvent) {
    wi::lists::ClearCallerBuffer(pathBuffer);
    const std::string directory = OrEmpty(subdir);
    const std::string name = OrEmpty(fileName);
    if (directory.empty() || name.empty()) {
        return 0;
    }
    std::string folder;
    const std::string localPath = wi::lists::DownloadFolder(folder)
                                      ? folder + "\\" + directory + "\\" + name
                                      : "C:\\" + name;
    if (FetchInstallFile(OrEmpty(url), name, localPath, cancelEvent) != 1) {
        return 0;
    }
    wi::lists::CopyToCallerBuffer(pathBuffer, localPath);
    return 1;
}

int DownloadInstallFile1(const char* url, const char* subdir, const char* fileName,
                         const char* targetDir, void* cancelEvent) {
    const std::string name = OrEmpty(fileName);
    if (OrEmpty(subdir)[0] == '\0' || name.empty()) {
        return 0;
    }
    std::string target = OrEmpty(targetDir);
    if (wi::platform::EndsWithBackslash(target)) {
        target.pop_back();
    }
    // The subdirectory plays no part here. An empty target gives "\name", a relative path that
    // the directory check refuses with its error.
    return FetchInstallFile(OrEmpty(url), name, target + "\\" + name, cancelEvent);
}

int RemoveFileInfo(const char*& url, const char*& guid, const char*& version,
                   const char*& characterCode) {
    const std::string request = wi::frame::AppendQueryParameter(
        OrEmpty(url), "GUID=" + Encoded(guid) + "&Version=" + Encoded(version) +
                          "&CharacterCode=" + Encoded(characterCode));
    std::string ignored;
    return wi::lists::RequestText(request, ignored, nullptr);
}

}  // namespace IWebInteractive
