// MD5 from libcrypto (OpenSSL), which libcurl already brings into the process. A one-shot digest
// through the default library context: no process-wide setting of OpenSSL is touched.
#include <openssl/evp.h>

#include <algorithm>

#include "platform/common/http_md5.h"

namespace wi::platform {

bool ComputeMd5(const std::string& bytes, Md5Digest& digest) {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), out, &size, EVP_md5(), nullptr) != 1 ||
        size != digest.size()) {
        return false;
    }
    std::copy(out, out + size, digest.begin());
    return true;
}

}  // namespace wi::platform
