// The system-information collector: writes the system information document, "systeminfo.xml",
// where the library expects it, from what the machine tells about itself.
//
//   <systeminfo>
//     <OperatingSystem><Name/><Version/></OperatingSystem>
//     <Kernel><Name/><Release/><Version/><Architecture/></Kernel>
//     <Processor><Name/><Count/><ClockMHz/></Processor>
//     <Memory><TotalBytes/><AvailableBytes/></Memory>
//     <Disks><Disk><Drive>C:</Drive><TotalBytes/><FreeBytes/></Disk>...</Disks>
//   </systeminfo>
//
// Elements only, in this order, in the form of the library's other documents (declaration naming
// gb2312, texts without the characters 1 to 31). A value the system does not tell is an empty
// element: a number of 0, or a drive whose space cannot be queried. Disks are the fixed drives
// from A: to Z:.
#pragma once

#include <string>

#include "platform/system_info.h"

namespace wi::documents {

// "<common templates folder>\systeminfo.xml", or "C:\systeminfo.xml" when that folder is unknown.
std::string SystemInfoDocumentPath();

// Writes the document of these facts and the machine's fixed drives to the path, replacing any
// file there. Throws xml::XmlError when it cannot be built or written.
void WriteSystemInfoDocument(const platform::SystemFacts& facts, const std::string& path);

// Collects this machine's facts and writes their document to the path; false, with no document
// written, when that fails.
bool CollectSystemInfo(const std::string& path);

}  // namespace wi::documents
