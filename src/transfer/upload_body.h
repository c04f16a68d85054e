// The body of an upload: a file's bytes, read from the disk for every request that carries
// them and never held whole in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/http.h"

namespace wi::transfer {

class FileBody : public wi::platform::BodySource {
public:
    // The disk is read in blocks of this size; the transport takes its pieces from them.
    static constexpr std::size_t kDiskBlock = 256 * 1024;

    explicit FileBody(std::string path);
    // The file's size; 0 for a file that cannot be read (the upload then goes ahead empty).
    std::uint64_t length() const { return length_; }

    bool Rewind() override;
    // -1 when the file ends or fails before the announced length.
    long long Read(char* buffer, std::size_t size) override;

private:
    bool FillBlock();

    std::string path_;
    std::uint64_t length_ = 0;
    std::uint64_t left_ = 0;  // bytes still to hand out
    std::unique_ptr<wi::platform::File> file_;
    std::vector<char> block_;
    std::size_t blockOffset_ = 0;
};

}  // namespace wi::transfer
