// A file's status as the Win32 handle query reports it (Win32 builds only):
// the walk and the identity check share one query per path.
#pragma once

#include <windows.h>

#include <string>

#include "engine/file_identity.h"
#include "platform/kernel_handles.h"

// What the file system says of whatever `path` leads to (links followed;
// folders too): attributes, length, volume and file index.
inline bool QueryFileInformation(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    UniqueHandle handle = AdoptFileHandle(CreateFileW(path.c_str(), 0,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle && GetFileInformationByHandle(handle.get(), &info);
}

inline FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}
