// The lists the service answers, made from uploaded and placed XML documents. Every document is
// outside text: it is read as the library reads outside documents (xml_tree.h: no network, no
// entity declarations, bounded attributes and depth), and files above kMaxDocumentBytes or that
// cannot be read so are skipped. Every answer is UTF-8, whatever its documents declared.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace wi::service {

constexpr std::size_t kMaxDocumentBytes = 16 * 1024 * 1024;

// Whether a file holds a well-formed document that the service can read, as every list here reads
// them: uploaded documents that are not are refused rather than kept unread.
bool IsReadableDocument(const std::filesystem::path& path);

// A "softwares" document holding one "software" (BaseInfo: GUID, pn_name, pn_version) for each
// distinct software named in the given software list documents, in order of first appearance.
std::string SoftwareIdList(const std::vector<std::filesystem::path>& softLists);

// A "softwares" document holding the first "software" of the first given document that has an
// element "GUID" with this text inside a "software"; nothing when none has.
std::optional<std::string> SoftwareFileList(const std::vector<std::filesystem::path>& fileLists,
                                            const std::string& guid);

// The "qeluser" text of the first given "user" document whose "machinenum" is this number.
std::optional<std::string> QelUser(const std::vector<std::filesystem::path>& userDocuments,
                                   const std::string& machineNum);

// The answer to a user information read: <user><qeluser>path</qeluser></user>.
std::string UserAnswer(const std::string& qelUser);

}  // namespace wi::service
