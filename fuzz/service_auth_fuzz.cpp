// Fuzz target for the reference service's reading of Authorization headers: any header value must
// be read without a crash; a refused request always gets a challenge of the guard's scheme, and a
// Digest answer is never taken for a nonce the guard did not give out.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "upload_auth.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string header(reinterpret_cast<const char*>(data), size);
    using wi::service::AuthScheme;
    using wi::service::UploadGuard;

    UploadGuard basic(AuthScheme::kBasic, "alice", "s3cret");
    const auto basicVerdict = basic.Check("POST", "/upload/log", header);
    if (!basicVerdict.admitted && basicVerdict.challenge.rfind("Basic realm=", 0) != 0) {
        std::abort();
    }

    UploadGuard digest(AuthScheme::kDigest, "alice", "s3cret");
    const auto digestVerdict = digest.Check("POST", "/upload/log", header);
    if (digestVerdict.admitted || digestVerdict.challenge.rfind("Digest realm=", 0) != 0) {
        std::abort();
    }
    return 0;
}
