#include "platform/posix/xml_input.h"

#include <libxml/xmlstring.h>

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/xml_dom.h"

namespace wi::xml::libxml2 {

namespace {

bool IsUtf8(const std::string& encoding) {
    return xmlStrcasecmp(reinterpret_cast<const xmlChar*>(encoding.c_str()),
                         reinterpret_cast<const xmlChar*>("UTF-8")) == 0;
}

// A text in memory, the caller's own or a conversion kept here.
class MemoryPieces : public Utf8Pieces {
public:
    explicit MemoryPieces(const std::string& text) : text_(&text) {}
    explicit MemoryPieces(std::string&& owned) : owned_(std::move(owned)), text_(&owned_) {}

    int Read(char* buffer, int size) override {
        const std::size_t piece =
            std::min(text_->size() - at_, static_cast<std::size_t>(std::max(size, 0)));
        std::memcpy(buffer, text_->data() + at_, piece);
        at_ += piece;
        return static_cast<int>(piece);
    }

private:
    std::string owned_;
    const std::string* text_;
    std::size_t at_ = 0;
};

// A file read a block at a time and decoded as Document::ParseFile decodes it: the encoding is
// found from its first bytes, read until they settle it (see DocumentEncoding).
class FilePieces : public Utf8Pieces {
public:
    ~FilePieces() override {
        if (decoder_ != kNoDecoder) iconv_close(decoder_);
    }

    // False when the file cannot be opened or read, is beyond its bound or its encoding is
    // unknown to iconv.
    bool Open(const std::string& windowsPath) {
        std::uint64_t size = 0;
        if (platform::GetFileSize(windowsPath, size) && size > kMaxFileBytes) return false;
        file_ = platform::OpenForRead(windowsPath);
        if (!file_) return false;
        while (!end_ && !EncodingSettled()) {
            if (!Fill()) return false;
        }
        const std::string encoding = DocumentEncoding(raw_);
        if (IsUtf8(encoding)) return true;  // libxml2 checks UTF-8 as it reads
        decoder_ = iconv_open("UTF-8", encoding.c_str());
        return decoder_ != kNoDecoder;
    }

    int Read(char* buffer, int size) override {
        if (size <= 0) return 0;
        const auto room = static_cast<std::size_t>(size);
        for (;;) {
            if (decoder_ == kNoDecoder) {
                if (at_ < raw_.size()) {
                    const std::size_t piece = std::min(room, raw_.size() - at_);
                    std::memcpy(buffer, raw_.data() + at_, piece);
                    at_ += piece;
                    return static_cast<int>(piece);
                }
                if (end_) return 0;
                // Past the first bytes, the file goes straight into the parser's buffer.
                const long long got = file_->Read(buffer, room);
                if (got <= 0) return got == 0 ? 0 : -1;
                return Count(static_cast<std::size_t>(got)) ? static_cast<int>(got) : -1;
            }
            const int decoded = Decode(buffer, room);
            if (decoded != 0 || end_) return decoded;
            if (!Fill()) return -1;
        }
    }

private:
    static inline const iconv_t kNoDecoder = reinterpret_cast<iconv_t>(-1);
    static constexpr std::size_t kBlock = 65536;

    // Whether the bytes read so far decide the encoding as the whole file would.
    bool EncodingSettled() {
        if (raw_.size() < 8) return false;
        const std::size_t start = raw_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        if (raw_.compare(start, 5, "<?xml") != 0) return true;
        return raw_.find("?>", start) != std::string::npos;
    }

    bool Count(std::size_t bytes) {
        total_ += bytes;
        return total_ <= kMaxFileBytes;
    }

    // Reads the next block after the bytes not yet decoded; false on a read error or beyond the
    // bound.
    bool Fill() {
        raw_.erase(0, at_);
        at_ = 0;
        const std::size_t kept = raw_.size();
        raw_.resize(kept + kBlock);
        const long long got = file_->Read(&raw_[kept], kBlock);
        raw_.resize(kept + static_cast<std::size_t>(std::max(got, 0LL)));
        if (got < 0) return false;
        end_ = got == 0;
        return Count(static_cast<std::size_t>(got));
    }

    // Decodes what it can of the bytes read into the buffer: the count; 0 when the bytes left are
    // too few for a character (or none); -1 on an invalid sequence or one cut off by the end.
    int Decode(char* buffer, std::size_t room) {
        char* in = &raw_[at_];
        std::size_t inLeft = raw_.size() - at_;
        char* out = buffer;
        std::size_t outLeft = room;
        if (inLeft == 0 && end_) {
            if (flushed_) return 0;
            flushed_ = true;  // the closing shift sequence of a stateful encoding
            return iconv(decoder_, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)
                       ? -1
                       : static_cast<int>(room - outLeft);
        }
        const std::size_t rc = iconv(decoder_, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        at_ = raw_.size() - inLeft;
        const auto decoded = static_cast<int>(room - outLeft);
        if (rc != static_cast<std::size_t>(-1) || error == E2BIG) return decoded;
        if (error == EINVAL && !end_) return decoded;  // the rest of a character is yet to come
        return decoded > 0 ? decoded : -1;  // the fault is met again at the next call
    }

    std::unique_ptr<platform::File> file_;
    std::string raw_;     // bytes read and not yet handed over (from at_)
    std::size_t at_ = 0;
    std::uint64_t total_ = 0;
    bool end_ = false;
    bool flushed_ = false;
    iconv_t decoder_ = kNoDecoder;  // none for UTF-8
};

}  // namespace

bool FileToUtf8(const std::string& windowsPath, std::string& utf8) {
    std::string bytes;
    if (!ReadDocumentFile(windowsPath, bytes)) return false;
    const std::string encoding = DocumentEncoding(bytes);
    if (IsUtf8(encoding)) {
        utf8 = std::move(bytes);  // libxml2 checks UTF-8 as it reads
        return true;
    }
    return platform::ConvertEncoding(encoding, "UTF-8", bytes, utf8);
}

bool BytesToUtf8(const std::string& bytes, std::string& utf8) {
    if (bytes.size() > kMaxTextBytes) return false;
    if (platform::NarrowToUtf8(bytes, utf8)) return true;
    const std::string declared = DeclaredEncoding(bytes);
    return !declared.empty() && platform::ConvertEncoding(declared, "UTF-8", bytes, utf8);
}

const std::string* TextAsUtf8(const std::string& narrowText, std::string& converted) {
    if (narrowText.size() > kMaxTextBytes) return nullptr;
    if (platform::NarrowCodeset() == "UTF-8") return &narrowText;
    return platform::NarrowToUtf8(narrowText, converted) ? &converted : nullptr;
}

std::unique_ptr<Utf8Pieces> OpenUtf8Pieces(StreamSource source, const std::string& input) {
    if (source == StreamSource::kFile) {
        auto file = std::make_unique<FilePieces>();
        if (!file->Open(input)) return nullptr;
        return file;
    }
    std::string converted;
    if (source == StreamSource::kText) {
        const std::string* utf8 = TextAsUtf8(input, converted);
        if (utf8 == nullptr) return nullptr;
        if (utf8 == &input) return std::make_unique<MemoryPieces>(input);
    } else if (!BytesToUtf8(input, converted)) {
        return nullptr;
    }
    return std::make_unique<MemoryPieces>(std::move(converted));
}

}  // namespace wi::xml::libxml2
