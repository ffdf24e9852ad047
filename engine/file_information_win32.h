// A file's status as the Win32 handle queries report it (Win32 builds
// only): the walk, the identity check and the reads share them.
#pragma once

#include <windows.h>

#include <string>

#include "engine/file_identity.h"
#include "platform/kernel_handles.h"

// Opens whatever `path` leads to (links followed; folders too) for queries.
inline UniqueHandle OpenForQuery(const std::wstring& path) {
    return AdoptFileHandle(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// FileIdInfo and its record come with Windows 8; the headers for the
// Windows 7 this program still runs on leave them out.
constexpr FILE_INFO_BY_HANDLE_CLASS kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdRecord {
    ULONGLONG volumeSerialNumber;
    BYTE fileId[16];
};

// The identity of an open file: the 128-bit ID with the 64-bit volume
// serial where the system gives them, else what `info` says.
inline FileIdentity IdentityOf(HANDLE file, const BY_HANDLE_FILE_INFORMATION& info) {
    FileIdRecord id;
    if (GetFileInformationByHandleEx(file, kFileIdInfo, &id, sizeof id)) {
        uint64_t low = 0;
        uint64_t high = 0;
        memcpy(&low, id.fileId, sizeof low);
        memcpy(&high, id.fileId + sizeof low, sizeof high);
        return FileIdentity{id.volumeSerialNumber, high, low};
    }
    return FileIdentity{info.dwVolumeSerialNumber, 0,
                        (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// Length and identity of an open file.
inline bool DescribeFileHandle(HANDLE file, int64_t& length, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) return false;
    length = static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    identity = IdentityOf(file, info);
    return true;
}
