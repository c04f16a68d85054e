#include "platform/win32/http_handshake.h"

#include <wincrypt.h>

#include <vector>

namespace wi::platform::win32 {
namespace {

// The security functions of secur32.dll, loaded at the first handshake of the process; nullptr
// when they cannot be had. The library does not import secur32.dll: loading it is not free
// everywhere (Wine starts helper programs that probe its NTLM support in every process that
// loads it, and they keep the process's standard handles open for a while).
PSecurityFunctionTableW Security() {
    static const PSecurityFunctionTableW table = []() -> PSecurityFunctionTableW {
        const HMODULE module =
            LoadLibraryExW(L"secur32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        const FARPROC init =
            module != nullptr ? GetProcAddress(module, "InitSecurityInterfaceW") : nullptr;
        return init != nullptr
                   ? reinterpret_cast<INIT_SECURITY_INTERFACE_W>(reinterpret_cast<void*>(init))()
                   : nullptr;
    }();
    return table;
}

std::string ToBase64(const unsigned char* bytes, DWORD size) {
    DWORD length = 0;
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    if (!CryptBinaryToStringA(bytes, size, flags, nullptr, &length) || length == 0) return "";
    std::string text(length, '\0');
    if (!CryptBinaryToStringA(bytes, size, flags, &text[0], &length)) return "";
    text.resize(length);
    return text;
}

bool FromBase64(const std::string& text, std::vector<unsigned char>& bytes) {
    DWORD size = 0;
    if (text.empty() || !CryptStringToBinaryA(text.c_str(), static_cast<DWORD>(text.size()),
                                              CRYPT_STRING_BASE64, nullptr, &size, nullptr,
                                              nullptr)) {
        return false;
    }
    bytes.resize(size);
    return CryptStringToBinaryA(text.c_str(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64,
                                bytes.data(), &size, nullptr, nullptr) != FALSE;
}

}  // namespace

void SecurityHandshake::Reset() {
    if (haveContext_) Security()->DeleteSecurityContext(&context_);
    if (haveCredentials_) Security()->FreeCredentialsHandle(&credentials_);
    haveContext_ = haveCredentials_ = false;
}

std::string SecurityHandshake::Begin(const std::string& scheme, const std::wstring& user,
                                     const std::wstring& password, const std::wstring& host) {
    Reset();
    if (Security() == nullptr) return "";
    scheme_ = scheme;
    package_.assign(scheme.begin(), scheme.end());
    target_ = L"HTTP/" + host;
    const std::size_t slash = user.find(L'\\');
    std::wstring name = slash == std::wstring::npos ? user : user.substr(slash + 1);
    std::wstring domain = slash == std::wstring::npos ? L"" : user.substr(0, slash);
    std::wstring secret = password;
    SEC_WINNT_AUTH_IDENTITY_W identity{};
    identity.User = reinterpret_cast<unsigned short*>(&name[0]);
    identity.UserLength = static_cast<unsigned long>(name.size());
    identity.Domain = domain.empty() ? nullptr : reinterpret_cast<unsigned short*>(&domain[0]);
    identity.DomainLength = static_cast<unsigned long>(domain.size());
    identity.Password = reinterpret_cast<unsigned short*>(&secret[0]);
    identity.PasswordLength = static_cast<unsigned long>(secret.size());
    identity.Flags = SEC_WINNT_AUTH_IDENTITY_UNICODE;
    TimeStamp expiry;
    haveCredentials_ =
        Security()->AcquireCredentialsHandleW(nullptr, &package_[0], SECPKG_CRED_OUTBOUND, nullptr,
                                              &identity, nullptr, nullptr, &credentials_,
                                              &expiry) == SEC_E_OK;
    SecureZeroMemory(&secret[0], secret.size() * sizeof(wchar_t));
    return haveCredentials_ ? Step(nullptr) : "";
}

std::string SecurityHandshake::Answer(const std::string& serverToken) {
    return haveContext_ ? Step(&serverToken) : "";
}

std::string SecurityHandshake::Step(const std::string* serverToken) {
    std::vector<unsigned char> input;
    if (serverToken != nullptr && !FromBase64(*serverToken, input)) return "";
    PSecPkgInfoW info = nullptr;
    if (Security()->QuerySecurityPackageInfoW(&package_[0], &info) != SEC_E_OK) return "";
    std::vector<unsigned char> output(info->cbMaxToken);
    Security()->FreeContextBuffer(info);

    SecBuffer in{static_cast<unsigned long>(input.size()), SECBUFFER_TOKEN, input.data()};
    SecBufferDesc inDesc{SECBUFFER_VERSION, 1, &in};
    SecBuffer out{static_cast<unsigned long>(output.size()), SECBUFFER_TOKEN, output.data()};
    SecBufferDesc outDesc{SECBUFFER_VERSION, 1, &out};
    unsigned long attributes = 0;
    TimeStamp expiry;
    const SECURITY_STATUS status = Security()->InitializeSecurityContextW(
        &credentials_, haveContext_ ? &context_ : nullptr, &target_[0], ISC_REQ_CONNECTION, 0,
        SECURITY_NATIVE_DREP, serverToken != nullptr ? &inDesc : nullptr, 0, &context_, &outDesc,
        &attributes, &expiry);
    if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) return "";
    haveContext_ = true;
    if (out.cbBuffer == 0) return "";
    return scheme_ + " " + ToBase64(output.data(), out.cbBuffer);
}

}  // namespace wi::platform::win32
