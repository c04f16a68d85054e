// The readers of the parts of the service's list documents, shared by the file list reader, the
// latest-version reader and the patch list reader: the members of records/record_elements.h that
// the list holds, each converted as the service writes it, and the status line each item sends.
//
// A value is the text of the first child element of that exact name (all its descendant text,
// in the narrow code page); a missing element leaves the member as it is.
#pragma once

#include <cstdint>
#include <list>
#include <string>

#include "platform/xml_dom.h"
#include "records/record_elements.h"
#include "webinteractive/records.h"

namespace wi::lists {

// Decimal numbers as the service writes them: leading blanks skipped, an optional sign, then the
// digits up to the first other character; no digits give 0. A number beyond the type's range
// gives the nearest value the type holds (as strtol and strtoll do), so an oversized value is
// never wrapped round into an unrelated one.
int ReadInt(const std::string& text);
std::int64_t ReadInt64(const std::string& text);

// The status lines of the readers, in the narrow code page, made once per call.
struct ListStatusTexts {
    ListStatusTexts();
    std::string file;        // after a file's "Name"
    std::string dependence;  // after a dependence's "Name"
    std::string config;      // after a configuration entry's "Key"
};

// A software's "BaseInfo" values, copied into each version record that has "VersionInfo".
struct BaseValues {
    ISoftInfoInc::_SoftInfo values;  // only the members of "BaseInfo" are read into it

    // Copies Type, Name, Vendor, is_protected and pn_name (not GUID).
    void CopyInto(ISoftInfoInc::_SoftInfo& soft) const;
};

// "BaseInfo" as the list holds it (records::kServiceFileList or kServicePatchList; only a patch
// list gives its "GUID"); "locked" into *locked only when locked is not null (file lists).
void ReadBaseInfo(const xml::Element& baseInfo, records::Document list, BaseValues& base,
                  int* locked);

// "VersionInfo" as the list holds it (a patch list has no "OSCode").
void ReadVersionInfo(const xml::Element& versionInfo, records::Document list,
                     ISoftInfoInc::_SoftInfo& soft);

// One item of a version's "FileList" (a "file"), "Dependence" or "Configration", inserted into
// the record's set (an item equal to one already there leaves the earlier one); each sends its
// status line with its name or key.
void ReadFileItem(const xml::Element& file, ISoftInfoInc::_SoftInfo& soft,
                  const ListStatusTexts& status);
void ReadDependenceItem(const xml::Element& item, ISoftInfoInc::_SoftInfo& soft,
                        const ListStatusTexts& status);
void ReadConfigItem(const xml::Element& item, ISoftInfoInc::_SoftInfo& soft,
                    const ListStatusTexts& status);

// One "patch" item of a version's "patchs". It sends the status (a format with one %s, in the
// narrow code page) with its "PNID" right after reading it.
_PatchInfo ReadPatch(const xml::Element& patch, const std::string& statusFormat);

// Tests the cancel event without waiting; null is never signalled. An auto-reset event is
// consumed by the test that sees it.
bool CancelRequested(void* cancelEvent);

// The downloaded software list that DownloadFileList and ParsePatchsList share: one list for the
// process, emptied by each call of either.
std::list<ISoftInfoInc::_SoftInfo>& DownloadedSoftList();

}  // namespace wi::lists
