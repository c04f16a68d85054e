// CLogInc: the process's operation log.
#include "webinteractive/log.h"

#include <iterator>
#include <optional>
#include <utility>

#include "frame/text.h"
#include "log/growing_log_entry.h"
#include "log/log_access.h"
#include "log/log_document.h"
#include "platform/machine.h"
#include "platform/xml_dom.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"
#include "webinteractive/transfer.h"

namespace {

// Removes the temporary log document however the upload ends. A file that cannot be deleted
// stays behind; the upload's result is reported all the same.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        try {
            if (CXFileOperator::PathExists(path_)) {
                CXFileOperator::DeleteFile(path_);
            }
        } catch (const CXException&) {
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The text of the root's first child element of this name; nothing when it has none.
std::optional<std::string> KeyText(const wi::xml::Element& root, const char* key) {
    const wi::xml::Element element = root.FirstChild(key);
    if (!element) return std::nullopt;
    return element.Text();
}

}  // namespace

void CLogInc::SetParam(const char* configText, const char* type, const char* source) {
    const std::string text = wi::frame::OrEmpty(configText);
    wi::xml::Document document;
    const bool parsed = !text.empty() && document.ParseText(text) && document.Root();
    // Only a "Logs" root gives keys; a missing key keeps its previous value, Servlet excepted.
    std::optional<std::string> SysId, CaseId, Creator, Servlet;
    if (parsed && document.Root().NameIs("Logs")) {
        SysId = KeyText(document.Root(), "SysId");
        CaseId = KeyText(document.Root(), "CaseId");
        Creator = KeyText(document.Root(), "Creator");
        Servlet = KeyText(document.Root(), "Servlet");
    }

    std::lock_guard<std::mutex> lock(mutex_);
    Servlet_ = Servlet.value_or("");
    if (!parsed) {
        return;
    }
    if (SysId) SysId_ = *SysId;
    if (CaseId) CaseId_ = *CaseId;
    if (Creator) Creator_ = *Creator;
    type_ = wi::frame::OrEmpty(type);
    source_ = wi::frame::OrEmpty(source);
}

void CLogInc::StartLog() {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
}

void CLogInc::SaveOneLog(const LogInfo& entry) {
    auto details = std::make_shared<const std::vector<std::string>>(entry.details.begin(),
                                                                     entry.details.end());
    const std::size_t detailCount = details->size();
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.push_back(
        {entry.guid, entry.special_code, entry.result, std::move(details), detailCount});
}

int CLogInc::StopLog() {
    // The run is copied out so that the upload holds no lock: entries saved meanwhile join the
    // list for the next report.
    const wi::log::LogRun run = wi::log::LogAccess::CurrentRun();
    if (run.Servlet.empty()) {
        return 0;
    }

    wi::xml::Document document;
    wi::xml::Element root;
    try {
        root = document.CreateRoot("Logs");
    } catch (const wi::xml::XmlError&) {
        return 0;  // no document can be made
    }
    wi::log::BuildLogDocument(root, run, wi::platform::CurrentMachine().LocalTime());

    // A document that cannot be saved raises xml::XmlError and nothing is uploaded.
    TemporaryFile file(IWebInteractive::GetTempXmlFilePath("logTemp"));
    document.Save(file.path());
    return IWebInteractive::UploadFile(run.Servlet.c_str(), file.path().c_str(), nullptr,
                                       nullptr, nullptr);
}

namespace wi::log {

std::string LogAccess::RunType() {
    CLogInc& log = *IWebInteractive::GetLogInc();
    std::lock_guard<std::mutex> lock(log.mutex_);
    return log.type_;
}

LogRun LogAccess::CurrentRun() {
    CLogInc& log = *IWebInteractive::GetLogInc();
    std::lock_guard<std::mutex> lock(log.mutex_);
    LogRun run{log.type_, log.SysId_, log.CaseId_, log.Creator_, log.source_, log.Servlet_, {}};
    for (const CLogInc::StoredEntry& stored : log.entries_) {
        const auto first = stored.details->begin();
        run.entries.push_back({stored.guid, stored.special_code, stored.result,
                               {first, first + static_cast<std::ptrdiff_t>(stored.detailCount)}});
    }
    return run;
}

void LogAccess::SaveGrowing(GrowingLogEntry& entry) {
    CLogInc& log = *IWebInteractive::GetLogInc();
    std::lock_guard<std::mutex> lock(log.mutex_);
    std::vector<std::string>& details = *entry.details_;
    details.insert(details.end(), std::make_move_iterator(entry.added_.begin()),
                   std::make_move_iterator(entry.added_.end()));
    entry.added_.clear();
    log.entries_.push_back(
        {entry.guid, entry.special_code, entry.result, entry.details_, details.size()});
}

}  // namespace wi::log
