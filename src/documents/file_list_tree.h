// The element tree that the file list document and the upload file list share: under the root
// "softwares", one "software" per run of consecutive records with the same GUID, holding the
// base information of the run's first record and one "Version" per record of the run.
#pragma once

#include <list>

#include "platform/xml_dom.h"
#include "records/record_elements.h"
#include "webinteractive/records.h"

namespace wi::documents {

// Told of each step while the tree is built, in the order the steps happen; the file list
// document sends its status lines and log entries from here. Every step does nothing by default.
class FileListSteps {
public:
    virtual ~FileListSteps() = default;
    // A record is reached, before it is known whether it starts a new "software".
    virtual void RecordReached(const ISoftInfoInc::_SoftInfo&) {}
    // The record's "software" is settled; its "Version" comes next, if it has a "software".
    virtual void SoftwareSettled(const ISoftInfoInc::_SoftInfo&) {}
    // The record gets a "Version" (a record before the first non-empty GUID gets none).
    virtual void VersionStarted(const ISoftInfoInc::_SoftInfo&) {}
    // Before each "file", "dep" and "cfg" of the record.
    virtual void FileReached(const IFileInfoInc::_FileInfo&) {}
    virtual void DependenceReached(const IDepInfoInc::_DepInfo&) {}
    virtual void ConfigReached(const IConfInfoInc::_ConfInfo&) {}
    // The record's "Version" is complete.
    virtual void VersionFinished(const ISoftInfoInc::_SoftInfo&) {}
};

// Starts the document with its declaration and the root "softwares". False when the XML library
// cannot make a document.
bool StartSoftwaresDocument(xml::Document& document, xml::Element& root);

// Appends "VersionInfo" with the 32 version values of the record that the document holds
// (records::kFileListDocument or kInstallInfo) below the element.
void AppendVersionInfo(xml::Element& version, const ISoftInfoInc::_SoftInfo& soft,
                       records::Document document);

// Appends the tree of the records, in list order, below the root. baseInfoName names the base
// information container ("BaseInfo" or "Baseinfo"). Records before the first one with a
// non-empty GUID land under no "software" and are left out. Throws xml::XmlError as the DOM does.
void AppendSoftwares(xml::Element& root, const std::list<ISoftInfoInc::_SoftInfo>& softs,
                     const char* baseInfoName, FileListSteps& steps);

}  // namespace wi::documents
