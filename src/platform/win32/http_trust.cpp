// Trust for tests that bring their own authority: with an authority file set, WinHTTP is told to
// accept a chain it cannot place and a name it cannot match, and the transfer itself checks,
// before it uses the answer, that the server's chain ends at a certificate of that file and that
// the certificate names the host: a host name through the system's check, an IP address against
// the certificate's addresses (which not every system's check reads).
#include <cstring>
#include <mutex>
#include <string>

#include "platform/files.h"
#include "platform/http.h"
#include "platform/win32/http_winhttp.h"

#include <wincrypt.h>
#include <winsock2.h>
#include <ws2tcpip.h>

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

// The host as the bytes of an IPv4 or IPv6 address; empty when it is a name.
std::string AddressBytes(std::wstring host) {
    if (host.size() > 2 && host.front() == L'[' && host.back() == L']') {
        host = host.substr(1, host.size() - 2);
    }
    IN_ADDR v4{};
    if (InetPtonW(AF_INET, host.c_str(), &v4) == 1) {
        return std::string(reinterpret_cast<const char*>(&v4), sizeof v4);
    }
    IN6_ADDR v6{};
    if (InetPtonW(AF_INET6, host.c_str(), &v6) == 1) {
        return std::string(reinterpret_cast<const char*>(&v6), sizeof v6);
    }
    return "";
}

// Whether the certificate's subject alternative names hold the address.
bool NamesAddress(PCCERT_CONTEXT certificate, const std::string& address) {
    const CERT_INFO* info = certificate->pCertInfo;
    PCERT_EXTENSION extension =
        CertFindExtension(szOID_SUBJECT_ALT_NAME2, info->cExtension, info->rgExtension);
    if (extension == nullptr) return false;
    CERT_ALT_NAME_INFO* names = nullptr;
    DWORD size = 0;
    if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                             extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names,
                             &size)) {
        return false;
    }
    bool found = false;
    for (DWORD i = 0; i < names->cAltEntry && !found; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
        found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS &&
                entry.IPAddress.cbData == address.size() &&
                std::memcmp(entry.IPAddress.pbData, address.data(), address.size()) == 0;
    }
    LocalFree(names);
    return found;
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
            // The root is not in the system's store: that alone is no fault here. An address is
            // matched below instead.
            const std::string address = AddressBytes(host);
            ssl.fdwChecks = SECURITY_FLAG_IGNORE_UNKNOWN_CA |
                            (address.empty() ? 0 : SECURITY_FLAG_IGNORE_CERT_CN_INVALID);
            ssl.pwszServerName = const_cast<wchar_t*>(host.c_str());
            CERT_CHAIN_POLICY_PARA policyPara{};
            policyPara.cbSize = sizeof policyPara;
            policyPara.pvExtraPolicyPara = &ssl;
            CERT_CHAIN_POLICY_STATUS status{};
            status.cbSize = sizeof status;
            trusted = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policyPara,
                                                       &status) &&
                      status.dwError == 0 &&
                      (address.empty() || NamesAddress(certificate, address));
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
    // The dates are still checked by WinHTTP; the authority and the name by VerifyTrust.
    DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
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
