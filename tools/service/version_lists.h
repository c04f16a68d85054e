// The per-version answers of the service: the patch list of a software and one version of it
// (the latest-version list). Documents are read as xml_lists.h reads them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace wi::service {

// A patch list document ("softwares" > "software" > "BaseInfo", "Version" > "VersionInfo",
// "patchs") for the GUID, made from the versions of that GUID in the given file list and install
// info documents (newest first): each version once, taken from the first document that has it,
// with its "patchs" when it has them. Nothing when no document names the GUID.
std::optional<std::string> PatchList(const std::vector<std::filesystem::path>& documents,
                                     const std::string& guid);

// How /certain chooses among the versions of a software: a version number of 0 or below asks
// for the newest (the library sends -1 for "latest"); a positive number names the version whose
// "version_info" is that number, else the newest whose "version_major" is.
struct VersionChoice {
    long number = -1;
};

// The file list document of the first given document that names the GUID, holding only the
// chosen "Version" of its "software". A version without "patchs" gets those of the same version
// ("Version" text) in the patch list document given, when there is one. Nothing when no
// document names the GUID or no version matches.
std::optional<std::string> CertainFileList(const std::vector<std::filesystem::path>& fileLists,
                                           const std::optional<std::filesystem::path>& patchList,
                                           const std::string& guid, VersionChoice choice);

// True when version text a is older than b: runs of digits compare as numbers, other runs as
// text ("1.9" < "1.10" < "2").
bool OlderVersionText(const std::string& a, const std::string& b);

}  // namespace wi::service
