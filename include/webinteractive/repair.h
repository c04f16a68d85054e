// The repair library: applies configuration entries to the system's registry.
//
// An entry names a registry value: `Source` is its key ("HKEY_LOCAL_MACHINE\Software\Vendor"),
// `Key` the value's name (empty for the key's default value), `Value` its data as text and
// `Type` its type number, kept as given. `Action` 1 sets the value, creating the key; any other
// action removes the value (its key stays). `delflag` is not looked at. Keys and names compare
// without regard to ASCII letter case.
//
// On posix the registry is the store file "system.reg" in the machine prefix (IHostInc), a
// .reg-style UTF-8 text rewritten atomically on every change; lines of it that are not values
// (comments, damage) are kept as they stand. Processes that change it at once each read it
// again under a lock of the machine, so every process's entries are kept.
#pragma once

#include <list>

#include "webinteractive/export.h"
#include "webinteractive/records.h"

namespace ISoftRepairInc {

// True when the entry has been applied: the value is set, or (for a removal) no longer there.
// False, changing nothing, when the key is empty or holds a control character, a text is not
// valid in the narrow code page, or the registry cannot be read or written. The posix store
// takes at most 16 MB in all (what its reader accepts): an entry that would make it larger is
// refused, and the store keeps every value it held. On Windows the value
// is written in the form of its type, and data that the type cannot take is refused as well: a
// number type (4, 5, 11) takes decimal or "0x" hexadecimal text, the binary type (3) hexadecimal
// bytes; the posix store keeps any text as it stands.
WI_EXPORT bool InstallConf(const IConfInfoInc::_ConfInfo& entry);

// ---- host side ----
// Every value of the registry store, in store order, as entries that InstallConf would set
// (`Action` 1); false when the store cannot be read. A character that the narrow code page
// cannot hold is '?'. Posix only: on Windows the registry is not listed and the answer is false.
WI_EXPORT bool ListInstalledConf(std::list<IConfInfoInc::_ConfInfo>& entries);

}  // namespace ISoftRepairInc
