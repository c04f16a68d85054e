// The service's data directory: where uploads are kept and from where files and lists are read.
//
//   DIR/uploads/<kind>/<sequence>-<milliseconds>.body   every upload body, never overwritten
//   DIR/uploads/<kind>/<sequence>-<milliseconds>.target the request target it came with
//   DIR/uploads/<kind>/<sequence>-<milliseconds>.part   a body still arriving (removed at start)
//   DIR/files/...                                       files served under /files/
//   DIR/filelists/<GUID>.xml                            file lists placed by the operator
//   DIR/patchlists/<GUID>.xml                           patch lists placed by the operator
//   DIR/removed.log                                     the RemoveFileInfo notices received
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace wi::service {

// What an upload must be to be kept.
struct UploadRules {
    // Bodies longer than this are read to their end and dropped.
    std::size_t maxBytes = static_cast<std::size_t>(-1);
    // Checked once the body is whole; false drops it. Nothing: every body is kept.
    std::function<bool(const std::filesystem::path& body)> accept;
};
enum class UploadResult { kKept, kCutShort, kTooLarge, kRefused };

class DataDir {
public:
    explicit DataDir(const std::filesystem::path& root);

    const std::filesystem::path& root() const { return root_; }

    // Takes each piece of a body as it arrives; false stops the reading.
    using BodySink = std::function<bool(const char* data, std::size_t size)>;
    // Hands the body to the sink piece by piece; false when it did not arrive whole.
    using BodyReader = std::function<bool(const BodySink& sink)>;

    // Keeps one upload body of a kind under a name no other upload has, written to disk as it
    // arrives (as <stem>.part, renamed to <stem>.body once whole and accepted, so that no reader
    // sees half a body or one that is dropped). Throws when the data directory cannot take it.
    // An upload that is not kept leaves no file.
    UploadResult StoreUpload(const std::string& kind, const std::string& target,
                             const BodyReader& read, const UploadRules& rules = {});
    // The bodies kept for a kind, newest first.
    std::vector<std::filesystem::path> Uploads(const std::string& kind) const;

    // The regular file under DIR/<area>/ that a relative name ('/' or '\' separated) denotes, or
    // nothing when the name is absolute, climbs with "..", or leads (through a link) outside the
    // area or to something that is not a regular file.
    std::optional<std::filesystem::path> FileIn(const std::string& area,
                                                const std::string& name) const;

    // Appends one line to DIR/removed.log.
    void RecordRemoval(const std::string& line);

private:
    std::filesystem::path root_;
    std::atomic<unsigned long> sequence_{0};
    std::mutex removalMutex_;
};

}  // namespace wi::service
