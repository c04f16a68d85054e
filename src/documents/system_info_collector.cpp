#include "documents/system_info_collector.h"

#include <cstdint>

#include "documents/xml_builder.h"
#include "frame/drives.h"
#include "platform/machine.h"

namespace wi::documents {

namespace {

// A count or size the system told, or an empty element for one it did not (0).
void AppendKnown(xml::Element& parent, const char* name, std::int64_t value) {
    if (value > 0) {
        AppendInt64(parent, name, value);
    } else {
        AppendEmpty(parent, name);
    }
}

// Values above the largest signed 64-bit number are not sizes any volume has.
std::int64_t Bytes(std::uint64_t value) {
    return value > static_cast<std::uint64_t>(INT64_MAX) ? 0 : static_cast<std::int64_t>(value);
}

void AppendDisks(xml::Element& root) {
    xml::Element disks = root.AppendElement("Disks");
    platform::Machine& machine = platform::CurrentMachine();
    for (const std::string& drive : frame::QueryFixedDrives()) {
        xml::Element disk = disks.AppendElement("Disk");
        AppendText(disk, "Drive", drive);
        platform::DiskSpace space;
        if (!machine.QueryDiskSpace(drive + "\\", space)) {
            space = platform::DiskSpace();
        }
        AppendKnown(disk, "TotalBytes", Bytes(space.total));
        AppendKnown(disk, "FreeBytes", Bytes(space.totalFree));
    }
}

}  // namespace

std::string SystemInfoDocumentPath() {
    std::string folder;
    if (!platform::CurrentMachine().GetSpecialFolder(platform::kCommonTemplates, folder)) {
        return "C:\\systeminfo.xml";
    }
    return folder + "\\systeminfo.xml";
}

void WriteSystemInfoDocument(const platform::SystemFacts& facts, const std::string& path) {
    xml::Document document;
    xml::Element root = document.CreateRoot("systeminfo");

    xml::Element os = root.AppendElement("OperatingSystem");
    AppendText(os, "Name", facts.osName);
    AppendText(os, "Version", facts.osVersion);

    xml::Element kernel = root.AppendElement("Kernel");
    AppendText(kernel, "Name", facts.kernelName);
    AppendText(kernel, "Release", facts.kernelRelease);
    AppendText(kernel, "Version", facts.kernelVersion);
    AppendText(kernel, "Architecture", facts.architecture);

    xml::Element processor = root.AppendElement("Processor");
    AppendText(processor, "Name", facts.processorName);
    AppendKnown(processor, "Count", facts.processorCount);
    AppendKnown(processor, "ClockMHz", facts.processorMhz);

    xml::Element memory = root.AppendElement("Memory");
    AppendKnown(memory, "TotalBytes", facts.memoryTotal);
    AppendKnown(memory, "AvailableBytes", facts.memoryAvailable);

    AppendDisks(root);
    document.Save(path);
}

bool CollectSystemInfo(const std::string& path) {
    try {
        WriteSystemInfoDocument(platform::CollectSystemFacts(), path);
        return true;
    } catch (const xml::XmlError&) {
        return false;
    }
}

}  // namespace wi::documents
