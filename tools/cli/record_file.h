// Software records read back from the documents the library writes, for the CLI's subcommands.
//
// A document is read through the library's own DOM, with its bounds and its refusal of entities.
// The tree is that of the file list document and the upload file list; the values under each
// part are the members of records/record_elements.h, whichever document holds them:
//
//   softwares / software / BaseInfo (or Baseinfo)  GUID Type Name Vendor is_protected pn_name
//                        / Version / VersionInfo   GUID Version ... Size ... pn_version
//                                  / FileList / file     SId (or FID) Name SetupPath ...
//                                  / Dependence / dep    Name SetupPath delflag special_code
//                                  / Configration / cfg  Source Key Value Type delflag Action
//
// Each "Version" gives one record: the base information of its "software" plus its own values.
// A "software" without "Version" (the software list and its identities) gives one record from
// its base information alone; "pn_version" is read there too. The install info document reads the
// same way ("creator" under "VersionInfo"). A missing element leaves the member at its initial
// value; an element the records do not know is passed over. Numbers are read as the records hold
// them: 32-bit integers, `Size` as a 64-bit one, flags as 0 or 1; any other number text is an
// error, as is a "VersionInfo" whose "GUID" differs from that of its base information.
#pragma once

#include <list>
#include <string>

#include "platform/xml_dom.h"
#include "webinteractive/records.h"

namespace cli {

// Parses a file's bytes with the library's DOM: decoded by their byte order mark, else by the
// layout of their first characters in UTF-16 or UTF-32, else as their declaration names, else as
// UTF-8, into the narrow code page. False, with a one-line reason in `error`, when the bytes
// cannot be decoded, are larger than the DOM reads, or are no well-formed document (with the
// line and column of the first error).
bool ParseDocumentBytes(const std::string& bytes, wi::xml::Document& document,
                        std::string& error);

// Reads the file at a path of this host (not of the emulated machine) and parses it as above.
// Files larger than the DOM reads are refused before they are read whole. A file that cannot be
// opened or read is told with the system's reason.
bool LoadDocumentFile(const std::string& hostPath, wi::xml::Document& document,
                      std::string& error);

// The records of a parsed document, in document order, appended to `softs`. False, with a
// one-line reason naming where in the document (for example "software 2, version 1, file 7:
// \"Size\" ..."), when the root is not "softwares" or a value cannot be read; `softs` is then left
// as it was.
bool ReadSoftInfos(const wi::xml::Document& document, std::list<ISoftInfoInc::_SoftInfo>& softs,
                   std::string& error);

// ": " and the system's reason for the last failed call that set errno ("No such file or
// directory"); "" when it set none.
std::string SystemReason();

// LoadDocumentFile and ReadSoftInfos in one.
bool ReadSoftInfoFile(const std::string& hostPath, std::list<ISoftInfoInc::_SoftInfo>& softs,
                      std::string& error);

}  // namespace cli
