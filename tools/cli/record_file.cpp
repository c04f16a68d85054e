#include "record_file.h"

#include <cerrno>
#include <cstddef>
#include <fstream>
#include <system_error>

#include "webinteractive/host.h"

namespace cli {

std::string SystemReason() {
    return errno != 0 ? ": " + std::generic_category().message(errno) : std::string();
}

bool ReadSoftInfoFile(const std::string& hostPath, std::list<ISoftInfoInc::_SoftInfo>& softs,
                      std::string& error) {
    errno = 0;
    std::ifstream in(hostPath, std::ios::binary);
    if (!in) {
        error = "cannot open " + hostPath + SystemReason();
        return false;
    }
    const std::size_t most = IHostInc::GetMaxDocumentBytes();
    std::string bytes;
    char block[16384];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        bytes.append(block, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > most) {
            error = hostPath + " is larger than " + std::to_string(most >> 20) + " MiB";
            return false;
        }
    }
    if (in.bad()) {
        error = "cannot read " + hostPath + SystemReason();
        return false;
    }
    const char* reason = nullptr;
    if (IHostInc::ReadRecordDocument(bytes.data(), bytes.size(), softs, &reason) != 1) {
        error = hostPath + ": " + reason;
        return false;
    }
    return true;
}

std::string DocumentProblem(const std::string& bytes) {
    std::list<ISoftInfoInc::_SoftInfo> softs;
    const char* reason = nullptr;
    return IHostInc::ReadRecordDocument(bytes.data(), bytes.size(), softs, &reason) == 0
               ? reason
               : "";
}

}  // namespace cli
