// Software records for the protection tests, with their files on the machine.
#pragma once

#include <string>

#include "store_fixture.h"
#include "webinteractive/records.h"
#include "webinteractive/store.h"

namespace wi::test {

// A software file: sid orders the files of a set; the setup path is what the lines show.
inline IFileInfoInc::_FileInfo SoftwareFile(const std::string& sid, const std::string& localPath,
                                            int category = 0, int type = 0) {
    IFileInfoInc::_FileInfo file;
    file.SId = sid;
    file.SetupPath = "setup:" + sid;
    file.LocalPath = localPath;
    file.Category = category;
    file.Type = type;
    return file;
}

inline IDepInfoInc::_DepInfo Dependence(const std::string& localPath) {
    IDepInfoInc::_DepInfo dependence;
    dependence.Name = localPath;
    dependence.SetupPath = "dep:" + localPath;
    dependence.LocalPath = localPath;
    return dependence;
}

inline ISoftInfoInc::_SoftInfo Software(const std::string& guid, const std::string& version = "3") {
    ISoftInfoInc::_SoftInfo soft;
    soft.GUID = guid;
    soft.Version = version;
    soft.SetupPath = "D:\\App";
    soft.special_code = "SC-" + guid;
    return soft;
}

// Where a software file of the software lies in the store of drive D:.
inline std::string StoredOnD(const ISoftInfoInc::_SoftInfo& soft, const std::string& relative) {
    return "D:\\qel_protect\\software\\" + soft.GUID + "\\" + soft.Version + "\\" + relative;
}

}  // namespace wi::test
