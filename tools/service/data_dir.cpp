#include "data_dir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace wi::service {

namespace {

// Sequence numbers are zero-padded so that names sort in upload order.
std::string UploadStem(unsigned long sequence) {
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    char stem[64];
    std::snprintf(stem, sizeof stem, "%08lu-%lld", sequence, static_cast<long long>(now));
    return stem;
}

unsigned long SequenceOf(const fs::path& file) {
    const std::string name = file.filename().string();
    unsigned long value = 0;
    for (char c : name) {
        if (c < '0' || c > '9') break;
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    return value;
}

// Writes a file that does not exist yet ("x": an existing one is never replaced). False when the
// name is taken; a write that fails removes its partial file and throws.
bool WriteNew(const fs::path& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (!file) {
        if (fs::exists(path)) return false;
        throw std::runtime_error("cannot create " + path.string());
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::error_code ignored;
        fs::remove(path, ignored);
        throw std::runtime_error("cannot write " + path.string());
    }
    return true;
}

}  // namespace

DataDir::DataDir(const fs::path& root) : root_(fs::weakly_canonical(fs::absolute(root))) {
    fs::create_directories(root_ / "uploads");
    fs::create_directories(root_ / "files");
    // Continue the numbering of uploads kept by an earlier run.
    unsigned long highest = 0;
    for (const auto& kind : fs::directory_iterator(root_ / "uploads")) {
        if (!kind.is_directory()) continue;
        for (const auto& entry : fs::directory_iterator(kind.path())) {
            highest = std::max(highest, SequenceOf(entry.path()));
        }
        // Bodies an earlier run was still receiving when it ended were never accepted.
        for (const auto& entry : fs::directory_iterator(kind.path())) {
            if (entry.path().extension() == ".part") fs::remove(entry.path());
        }
    }
    sequence_ = highest;
}

UploadResult DataDir::StoreUpload(const std::string& kind, const std::string& target,
                                  const BodyReader& read, const UploadRules& rules) {
    const fs::path folder = root_ / "uploads" / kind;
    fs::create_directories(folder);
    // A name taken (by another run sharing the directory) moves on to the next number.
    std::FILE* file = nullptr;
    fs::path part;
    for (int attempt = 0; file == nullptr && attempt < 1000; ++attempt) {
        part = folder / (UploadStem(++sequence_) + ".part");
        file = std::fopen(part.c_str(), "wbx");
        if (file == nullptr && !fs::exists(part)) {
            throw std::runtime_error("cannot create " + part.string());
        }
    }
    if (file == nullptr) throw std::runtime_error("no free upload name in " + folder.string());

    bool written = true;
    std::size_t received = 0;
    const bool whole = read([&](const char* data, std::size_t size) {
        received += size;
        if (received > rules.maxBytes) return true;  // read on, keep nothing more
        written = std::fwrite(data, 1, size, file) == size;
        return written;
    });
    const bool closed = std::fclose(file) == 0;
    std::error_code ignored;
    if (!written || !closed) {
        fs::remove(part, ignored);
        throw std::runtime_error("cannot write " + part.string());
    }
    UploadResult result = UploadResult::kKept;
    if (!whole) {
        result = UploadResult::kCutShort;
    } else if (received > rules.maxBytes) {
        result = UploadResult::kTooLarge;
    } else if (rules.accept && !rules.accept(part)) {
        result = UploadResult::kRefused;
    }
    if (result != UploadResult::kKept) {
        fs::remove(part, ignored);
        return result;
    }
    for (std::string stem = part.stem().string();; stem = UploadStem(++sequence_)) {
        const fs::path body = folder / (stem + ".body");
        if (fs::exists(body)) continue;
        std::error_code error;
        fs::rename(part, body, error);
        if (error) {
            fs::remove(part, ignored);
            throw std::runtime_error("cannot keep " + body.string());
        }
        WriteNew(folder / (stem + ".target"), target + "\n");
        return UploadResult::kKept;
    }
}

std::vector<fs::path> DataDir::Uploads(const std::string& kind) const {
    std::vector<fs::path> bodies;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root_ / "uploads" / kind, error)) {
        if (entry.path().extension() == ".body") bodies.push_back(entry.path());
    }
    std::sort(bodies.begin(), bodies.end(), [](const fs::path& a, const fs::path& b) {
        return a.filename().string() > b.filename().string();
    });
    return bodies;
}

std::optional<fs::path> DataDir::FileIn(const std::string& area, const std::string& name) const {
    std::string relative = name;
    for (char& c : relative) {
        if (c == '\\') c = '/';
    }
    if (relative.empty() || relative.front() == '/' || relative.find(':') != std::string::npos ||
        relative.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    const fs::path parts(relative);
    for (const auto& part : parts) {
        if (part == "..") return std::nullopt;
    }
    std::error_code error;
    const fs::path base = fs::weakly_canonical(root_ / area, error);
    if (error) return std::nullopt;
    // Resolving every link shows where the name really leads.
    const fs::path resolved = fs::weakly_canonical(base / parts, error);
    if (error) return std::nullopt;
    const auto mismatch =
        std::mismatch(base.begin(), base.end(), resolved.begin(), resolved.end());
    if (mismatch.first != base.end() || resolved == base) return std::nullopt;
    if (!fs::is_regular_file(resolved, error)) return std::nullopt;
    return resolved;
}

void DataDir::RecordRemoval(const std::string& line) {
    std::lock_guard<std::mutex> lock(removalMutex_);
    std::ofstream out(root_ / "removed.log", std::ios::app | std::ios::binary);
    out << line << '\n';
}

}  // namespace wi::service
