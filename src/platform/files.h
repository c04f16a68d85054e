// File operations on narrow Windows paths ("C:\dir\file"). Every failing call sets LastError().
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace wi::platform {

enum FileAttribute : std::uint32_t {
    kAttrReadOnly = 0x1,
    kAttrHidden = 0x2,
    kAttrSystem = 0x4,
    kAttrDirectory = 0x10,
    kAttrNormal = 0x80,
    // The path is a link (a symbolic link on posix); the other bits describe its target.
    kAttrReparsePoint = 0x400,
};

// True when the path names an entry: a file, a directory or a link (dangling or not). Cheaper
// than reading the attributes, which on posix live in an extended attribute.
bool EntryExists(const std::string& path);
// The entry's attributes among those above; kAttrNormal when it has none of them.
bool GetFileAttributes(const std::string& path, std::uint32_t& attributes);
// Sets hidden, system and read-only as given (kAttrNormal clears them) on the entry the path
// names. Fails for a link (a link holds no attributes of its own here), leaving its target as it
// was, even when the link was swapped in for the entry a moment before.
bool SetFileAttributes(const std::string& path, std::uint32_t attributes);
// Copies the content only. As on Windows, a read-only destination is not replaced, and the old
// destination is kept whole when the copy fails. A destination that is a link is replaced
// itself; what it points at is neither looked at nor changed.
bool CopyFile(const std::string& source, const std::string& destination, bool failIfExists);
// Deletes a file or a link; fails for a directory and, as on Windows, for a read-only file.
bool DeleteFile(const std::string& path);
// Creates one directory; fails when it exists or its parent is missing.
bool CreateDirectory(const std::string& path);
// Removes one empty directory; a link to a directory is not one (DeleteFile removes it).
bool RemoveDirectory(const std::string& path);
// Removes a directory with everything in it, read-only files included, or a link itself. The
// walk never enters a link, even one swapped in for a directory while it runs: what a link
// points at is left as it was. Every entry is tried; on failure `failedPath` is the path of the
// first entry that could not be removed (the last error is its reason). Fails for a drive root,
// the current directory and a file.
bool RemoveTree(const std::string& path, std::string& failedPath);
// Names of the entries of a directory, without "." and "..", in enumeration order.
bool ListDirectory(const std::string& directory, std::vector<std::string>& names);
bool GetFileSize(const std::string& path, std::uint64_t& size);

// An open file for streaming reads or writes.
class File {
public:
    virtual ~File() = default;
    // Bytes read (0 at the end); -1 on error.
    virtual long long Read(void* buffer, std::size_t size) = 0;
    // False unless every byte was written.
    virtual bool Write(const void* data, std::size_t size) = 0;
};
std::unique_ptr<File> OpenForRead(const std::string& path);
// Creates or truncates the file; fails, as on Windows, for a read-only file.
std::unique_ptr<File> OpenForWrite(const std::string& path);

// New content for a file, written beside it and put in its place only by Commit: a write that
// fails or is abandoned (destroyed without Commit) leaves the old file whole and no trace.
class PendingFile : public File {
public:
    // Puts the written content in place of the file; false, with the old file kept, on failure.
    virtual bool Commit() = 0;
    // Before the writes: the content is expected to be this long, so that the file system may
    // set its space aside at once. Only a hint; the content is what was written.
    virtual void Reserve(std::uint64_t length) { static_cast<void>(length); }
};
// Whether Commit makes the new content durable before it takes the old file's place: kFlushed
// for the small documents that index what the machine keeps (after a power loss the file is the
// old one or the whole new one, never empty), kOrdinary for bulk content such as downloads and
// the copies of a protection, where the flush would cost more than a lost file does.
enum class Durability { kOrdinary, kFlushed };
// Fails, as OpenForWrite does, for a read-only file or a directory at the path. A link at the
// path is replaced by the committed file, so only the link is looked at.
std::unique_ptr<PendingFile> OpenReplacement(const std::string& path,
                                             Durability durability = Durability::kOrdinary);

}  // namespace wi::platform
