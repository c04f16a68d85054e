#include "file_sender.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

namespace wi::service {

namespace {

using Clock = std::chrono::steady_clock;

// Waits until the bytes sent so far are due at the rate; false when the server stops first.
bool WaitForRate(const Pacing& pacing, Clock::time_point start, unsigned long long sent) {
    const auto due = start + std::chrono::microseconds(
                                 static_cast<long long>(sent * 1000000.0 / pacing.bytesPerSecond));
    for (auto now = Clock::now(); now < due; now = Clock::now()) {
        if (pacing.stopping && *pacing.stopping) return false;
        std::this_thread::sleep_for(
            std::min<Clock::duration>(due - now, std::chrono::milliseconds(50)));
    }
    return true;
}

}  // namespace

void SendFile(httplib::Response& res, const std::filesystem::path& file, const Pacing& pacing,
              const char* type) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    auto in = std::make_shared<std::ifstream>(file, std::ios::binary);
    if (error || !*in) {
        res.status = 404;
        res.set_content("not found\n", "text/plain");
        return;
    }
    // Paced bodies go out in pieces of about a tenth of a second each.
    const std::size_t pieceSize = pacing.bytesPerSecond == 0
                                      ? 65536
                                      : static_cast<std::size_t>(std::clamp<unsigned long long>(
                                            pacing.bytesPerSecond / 10, 1, 65536));
    res.set_content_provider(
        static_cast<std::size_t>(size), type,
        [in, pacing, pieceSize](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            std::vector<char> buffer(pieceSize);
            in->clear();
            in->seekg(static_cast<std::streamoff>(offset));
            const auto start = Clock::now();
            unsigned long long sent = 0;
            while (length > 0) {
                in->read(buffer.data(), static_cast<std::streamsize>(std::min(length, pieceSize)));
                const auto got = static_cast<std::size_t>(in->gcount());
                if (got == 0 || !sink.write(buffer.data(), got)) return false;
                length -= got;
                sent += got;
                if (pacing.bytesPerSecond != 0 && !WaitForRate(pacing, start, sent)) return false;
            }
            return true;
        });
}

}  // namespace wi::service
