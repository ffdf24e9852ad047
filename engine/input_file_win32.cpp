#include "engine/input_file.h"

#include <windows.h>

#include "engine/file_information_win32.h"
#include "platform/kernel_handles.h"
#include "platform/wide_path.h"

struct PlatformFile {
    UniqueHandle handle;
};

void PlatformFileCloser::operator()(PlatformFile* file) const { delete file; }

namespace {

DWORD ShareModeFor(InputSharing sharing) {
    switch (sharing) {
    case InputSharing::kNoWriters:
        return FILE_SHARE_READ | FILE_SHARE_DELETE;
    case InputSharing::kNoWritersNoDeleters:
        return FILE_SHARE_READ;
    case InputSharing::kEveryone:
        break;
    }
    return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
}

}  // namespace

std::unique_ptr<PlatformFile, PlatformFileCloser> OpenPlatformFile(const std::string& path, ReadPattern pattern,
                                                                   InputSharing sharing) {
    std::wstring wide = WidePathFromUtf8(path);
    if (wide.empty()) return nullptr;
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open at all.
    const DWORD hint = pattern == ReadPattern::kSequential ? FILE_FLAG_SEQUENTIAL_SCAN : FILE_FLAG_RANDOM_ACCESS;
    UniqueHandle handle = AdoptFileHandle(
        CreateFileW(wide.c_str(), GENERIC_READ, ShareModeFor(sharing), nullptr, OPEN_EXISTING, hint, nullptr));
    if (!handle) return nullptr;
    return std::unique_ptr<PlatformFile, PlatformFileCloser>(new PlatformFile{std::move(handle)});
}

bool ReadPlatformFileAt(PlatformFile& file, uint64_t offset, void* buffer, size_t count, size_t& got) {
    // On a handle opened for synchronous reading the offset in OVERLAPPED
    // says where ReadFile reads.
    OVERLAPPED where = {};
    where.Offset = static_cast<DWORD>(offset & 0xffffffffu);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    const DWORD wanted = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
    if (!ReadFile(file.handle.get(), buffer, wanted, &read, &where)) {
        // Reading at or past the end reports the end, not a fault.
        if (GetLastError() != ERROR_HANDLE_EOF) return false;
        read = 0;
    }
    got = read;
    return true;
}

bool DescribePlatformFile(PlatformFile& file, int64_t& length, FileIdentity& identity) {
    return DescribeFileHandle(file.handle.get(), length, identity);
}
