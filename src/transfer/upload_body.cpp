#include "transfer/upload_body.h"

#include <algorithm>
#include <cstring>

namespace wi::transfer {

FileBody::FileBody(std::string path) : path_(std::move(path)) {
    std::uint64_t size = 0;
    if (wi::platform::GetFileSize(path_, size) && wi::platform::OpenForRead(path_)) {
        length_ = size;
    }
}

bool FileBody::Rewind() {
    left_ = length_;
    block_.clear();
    blockOffset_ = 0;
    file_.reset();
    if (length_ == 0) {
        return true;
    }
    file_ = wi::platform::OpenForRead(path_);
    return file_ != nullptr;
}

long long FileBody::Read(char* buffer, std::size_t size) {
    if (left_ == 0 || size == 0) {
        return 0;
    }
    if (blockOffset_ == block_.size() && !FillBlock()) {
        return -1;  // the file shrank or failed under us: the announced length cannot be met
    }
    const std::size_t count = std::min(size, block_.size() - blockOffset_);
    std::memcpy(buffer, block_.data() + blockOffset_, count);
    blockOffset_ += count;
    left_ -= count;
    return static_cast<long long>(count);
}

bool FileBody::FillBlock() {
    block_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kDiskBlock, left_)));
    blockOffset_ = 0;
    const long long read = file_->Read(block_.data(), block_.size());
    if (read <= 0) {
        block_.clear();
        return false;
    }
    block_.resize(static_cast<std::size_t>(read));
    return true;
}

}  // namespace wi::transfer
