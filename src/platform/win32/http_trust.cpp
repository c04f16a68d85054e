// Trust for tests that bring their own authority: with an authority file set, WinHTTP is told to
// accept a chain it cannot place, and the transfer itself checks, before it uses the answer,
// that the server's chain ends at a certificate of that file.
#include <mutex>
#include <string>

#include "platform/files.h"
#include "platform/http.h"
#include "platform/win32/http_winhttp.h"

#include <wincrypt.h>

namespace wi::platform {
namespace {

std::mutex trustMutex;
std::string trustedCaFile;

std::string TrustedCaFile() {
    std::lock_guard<std::mutex> lock(trustMutex);
    return trustedCaFile;
}

// The whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content) {
    std::unique_ptr<File> file = OpenForRead(path);
    if (file == nullptr) return false;
    char piece[4096];
    for (;;) {
        const long long read = file->Read(piece, sizeof piece);
        if (read < 0) return false;
        if (read == 0) return true;
        content.append(piece, static_cast<std::size_t>(read));
    }
}

// A memory store holding every certificate of the PEM text; nullptr when it holds none.
HCERTSTORE LoadAuthorities(const std::string& pem) {
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr);
    if (store == nullptr) return nullptr;
    static const std::string kEnd = "-----END CERTIFICATE-----";
    int added = 0;
    for (std::size_t begin = pem.find("-----BEGIN CERTIFICATE-----"); begin != std::string::npos;
         begin = pem.find("-----BEGIN CERTIFICATE-----", begin + 1)) {
        const std::size_t end = pem.find(kEnd, begin);
        if (end == std::string::npos) break;
        const std::string block = pem.substr(begin, end + kEnd.size() - begin);
        DWORD size = 0;
        if (!CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()),
                                  CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) {
            continue;
        }
        std::string der(size, '\0');
        if (CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()),
                                 CRYPT_STRING_BASE64HEADER, reinterpret_cast<BYTE*>(&der[0]),
                                 &size, nullptr, nullptr) &&
            CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING,
                                             reinterpret_cast<const BYTE*>(der.data()), size,
                                             CERT_STORE_ADD_ALWAYS, nullptr)) {
            ++added;
        }
    }
    if (added == 0) {
        CertCloseStore(store, 0);
        return nullptr;
    }
    return store;
}

// True when the certificate chains up to one of the authorities and names the host. The chain
// is built with the authorities at hand; its root must be one of them, so that a root of the
// system's store does not count, while every other check of the chain and the name applies.
bool ChainsTo(HCERTSTORE authorities, PCCERT_CONTEXT certificate, const std::wstring& host) {
    CERT_CHAIN_PARA chainPara{};
    chainPara.cbSize = sizeof chainPara;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(nullptr, certificate, nullptr, authorities, &chainPara, 0,
                                 nullptr, &chain)) {
        return false;
    }
    bool trusted = false;
    if (chain->cChain > 0 && chain->rgpChain[0]->cElement > 0) {
        const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
        PCCERT_CONTEXT root = simple->rgpElement[simple->cElement - 1]->pCertContext;
        PCCERT_CONTEXT ours = CertFindCertificateInStore(authorities, X509_ASN_ENCODING, 0,
                                                         CERT_FIND_EXISTING, root, nullptr);
        if (ours != nullptr) {
            CertFreeCertificateContext(ours);
            SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
            ssl.cbSize = sizeof ssl;
            ssl.dwAuthType = AUTHTYPE_SERVER;
            // The root is not in the system's store: that alone is no fault here.
            ssl.fdwChecks = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
            ssl.pwszServerName = const_cast<wchar_t*>(host.c_str());
            CERT_CHAIN_POLICY_PARA policyPara{};
            policyPara.cbSize = sizeof policyPara;
            policyPara.pvExtraPolicyPara = &ssl;
            CERT_CHAIN_POLICY_STATUS status{};
            status.cbSize = sizeof status;
            trusted = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policyPara,
                                                       &status) &&
                      status.dwError == 0;
        }
    }
    CertFreeCertificateChain(chain);
    return trusted;
}

}  // namespace

void SetTrustedCaFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(trustMutex);
    trustedCaFile = path;
}

namespace win32 {

bool PrepareTrust(HINTERNET request) {
    if (TrustedCaFile().empty()) return true;
    // The name on the certificate and its dates are still checked by WinHTTP.
    DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
    return WinHttpSetOption(request, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags);
}

bool VerifyTrust(HINTERNET request, const std::wstring& host) {
    const std::string path = TrustedCaFile();
    if (path.empty()) return true;
    std::string pem;
    if (!ReadWholeFile(path, pem)) return false;
    HCERTSTORE authorities = LoadAuthorities(pem);
    if (authorities == nullptr) return false;
    PCCERT_CONTEXT certificate = nullptr;
    DWORD size = sizeof certificate;
    bool trusted = false;
    if (WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &certificate, &size) &&
        certificate != nullptr) {
        trusted = ChainsTo(authorities, certificate, host);
        CertFreeCertificateContext(certificate);
    }
    CertCloseStore(authorities, 0);
    return trusted;
}

}  // namespace win32
}  // namespace wi::platform
