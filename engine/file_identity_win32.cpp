#include "engine/file_identity.h"

#include <windows.h>

#include "engine/file_information_win32.h"
#include "platform/wide_path.h"

bool QueryFileIdentity(const std::string& path, FileIdentity& identity) {
    std::wstring wide = WidePathFromUtf8(path);
    if (wide.empty()) return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (!QueryFileInformation(wide, info)) return false;
    identity = IdentityOf(info);
    return true;
}
