#include "engine/file_identity.h"

#include <windows.h>

#include "engine/win32_handles.h"
#include "engine/win32_path.h"

bool QueryFileIdentity(const std::string& path, FileIdentity& identity) {
    std::wstring wide = WidePathFromNarrow(path);
    if (wide.empty()) return false;
    // Backup semantics lets folders be opened too; links are followed.
    UniqueHandle handle = AdoptFileHandle(CreateFileW(wide.c_str(), 0,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle.get(), &info)) return false;
    identity.volume = info.dwVolumeSerialNumber;
    identity.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}
