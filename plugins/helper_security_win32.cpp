#include "plugins/helper_security_win32.h"

#include <bcrypt.h>
#include <sddl.h>

#include <vector>

namespace {

constexpr wchar_t kPipePrefix[] = L"\\\\.\\pipe\\tovrik-decode-";
constexpr ULONG kNameRandomBytes = 16;
constexpr DWORD kPipeBufferBytes = 65536;
constexpr wchar_t kLowIntegritySid[] = L"S-1-16-4096";

// 128 random bits in hex: a process id and a counter could be guessed, and
// a pipe made first under the name would be the one the helper opens.
std::wstring RandomPipeName() {
    unsigned char random[kNameRandomBytes];
    if (BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) return std::wstring();
    std::wstring name = kPipePrefix;
    for (unsigned char byte : random) {
        name.push_back(L"0123456789abcdef"[byte >> 4]);
        name.push_back(L"0123456789abcdef"[byte & 15]);
    }
    return name;
}

std::wstring CurrentUserSid() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return std::wstring();
    UniqueHandle token(opened);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) return std::wstring();
    LPWSTR text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text)) return std::wstring();
    UniqueLocal owner(text);
    return text;
}

// Access for the user alone (no inherited or default entries); the label
// lets a low-integrity client write, which the default medium one forbids.
UniqueLocal PipeSecurityDescriptor(bool forLowIntegrityClient) {
    const std::wstring user = CurrentUserSid();
    if (user.empty()) return nullptr;
    std::wstring text = L"D:P(A;;GA;;;" + user + L")";
    // No write-up (0x1) for low integrity and above, the SIDs spelt out.
    if (forLowIntegrityClient) text += L"S:(ML;;0x1;;;" + std::wstring(kLowIntegritySid) + L")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return nullptr;
    return UniqueLocal(descriptor);
}

}  // namespace

HelperPipe CreateHelperPipe(bool forLowIntegrityClient) {
    HelperPipe pipe;
    pipe.name = RandomPipeName();
    UniqueLocal descriptor = PipeSecurityDescriptor(forLowIntegrityClient);
    if (pipe.name.empty() || !descriptor) return pipe;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor.get(), FALSE};
    // One instance, created here first and local only.
    pipe.handle = AdoptFileHandle(CreateNamedPipeW(
        pipe.name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, kPipeBufferBytes,
        kPipeBufferBytes, 0, &attributes));
    return pipe;
}

bool PipeClientIsProcess(HANDLE pipe, HANDLE process) {
    ULONG client = 0;
    return GetNamedPipeClientProcessId(pipe, &client) && client != 0 && client == GetProcessId(process);
}

UniqueHandle LoweredHelperToken() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(),
                          TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY | TOKEN_ADJUST_DEFAULT, &opened)) {
        return nullptr;
    }
    UniqueHandle own(opened);
    HANDLE restricted = nullptr;
    if (!CreateRestrictedToken(own.get(), DISABLE_MAX_PRIVILEGE, 0, nullptr, 0, nullptr, 0, nullptr, &restricted))
        return nullptr;
    UniqueHandle token(restricted);
    PSID low = nullptr;
    if (!ConvertStringSidToSidW(kLowIntegritySid, &low)) return nullptr;
    UniqueLocal lowOwner(low);
    TOKEN_MANDATORY_LABEL label = {};
    label.Label.Attributes = SE_GROUP_INTEGRITY;
    label.Label.Sid = low;
    if (!SetTokenInformation(token.get(), TokenIntegrityLevel, &label, sizeof label + GetLengthSid(low)))
        return nullptr;
    return token;
}
