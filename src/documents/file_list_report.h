// What the file list document tells while it is built: a status line for every record, file,
// dependence and configuration entry, and one log entry per record that gets a "Version".
#pragma once

#include <string>
#include <vector>

#include "documents/file_list_tree.h"
#include "log/growing_log_entry.h"

namespace wi::documents {

// One per document: the status and log texts are turned into the narrow code page when it is
// made, and its log entry lives for the whole document.
class FileListReport : public FileListSteps {
public:
    FileListReport();

    void RecordReached(const ISoftInfoInc::_SoftInfo& soft) override;
    void SoftwareSettled(const ISoftInfoInc::_SoftInfo& soft) override;
    void VersionStarted(const ISoftInfoInc::_SoftInfo& soft) override;
    void FileReached(const IFileInfoInc::_FileInfo& file) override;
    void DependenceReached(const IDepInfoInc::_DepInfo& dependence) override;
    void ConfigReached(const IConfInfoInc::_ConfInfo& config) override;
    void VersionFinished(const ISoftInfoInc::_SoftInfo& soft) override;

private:
    // The file's analysis text: that of its highest set bit among 0x01 to 0x80, the intact
    // text for 0, and the empty text for a value with none of those bits.
    std::string FileAnalysisText(const IFileInfoInc::_FileInfo& file) const;

    // One entry for the whole document: a record's entry also carries the file texts of the
    // records before it, and a record whose code has no text keeps the previous result.
    log::GrowingLogEntry entry_;
    std::string listLine_, baseLine_, fileLine_, dependenceLine_, configLine_;
    std::vector<std::string> softwareTexts_;  // by software analysis code, 0 to 4
    std::string fileIntactText_;
    std::vector<std::string> fileBitTexts_;   // by bit, 0x01 to 0x80
};

}  // namespace wi::documents
