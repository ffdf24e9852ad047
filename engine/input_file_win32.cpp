#include "engine/input_file.h"

#include <windows.h>

#include "engine/file_information_win32.h"
#include "platform/kernel_handles.h"
#include "platform/wide_path.h"

struct OpenedFile {
    UniqueHandle handle;
};

void OpenedFileCloser::operator()(OpenedFile* file) const { delete file; }

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

InputFile OpenInputFile(const std::string& path, ReadPattern pattern, InputSharing sharing) {
    std::wstring wide = WidePathFromUtf8(path);
    if (wide.empty()) return nullptr;
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open at all.
    const DWORD hint = pattern == ReadPattern::kSequential ? FILE_FLAG_SEQUENTIAL_SCAN : FILE_FLAG_RANDOM_ACCESS;
    UniqueHandle handle = AdoptFileHandle(
        CreateFileW(wide.c_str(), GENERIC_READ, ShareModeFor(sharing), nullptr, OPEN_EXISTING, hint, nullptr));
    if (!handle) return nullptr;
    return InputFile(new OpenedFile{std::move(handle)});
}

size_t ReadInputFile(OpenedFile& file, void* buffer, size_t count) {
    size_t total = 0;
    char* bytes = static_cast<char*>(buffer);
    while (total < count) {
        DWORD got = 0;
        if (!ReadFile(file.handle.get(), bytes + total, static_cast<DWORD>(count - total), &got, nullptr) || got == 0) break;
        total += got;
    }
    return total;
}

size_t ReadInputFileAt(OpenedFile& file, int64_t offset, void* buffer, size_t count) {
    size_t total = 0;
    char* bytes = static_cast<char*>(buffer);
    while (total < count) {
        // On a handle opened for synchronous reading the offset in OVERLAPPED
        // says where ReadFile reads.
        const uint64_t at = static_cast<uint64_t>(offset) + total;
        OVERLAPPED where = {};
        where.Offset = static_cast<DWORD>(at & 0xffffffffu);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD got = 0;
        if (!ReadFile(file.handle.get(), bytes + total, static_cast<DWORD>(count - total), &got, &where) || got == 0) break;
        total += got;
    }
    return total;
}

bool DescribeInputFile(OpenedFile& file, int64_t& length, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.handle.get(), &info)) return false;
    length = static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    identity = IdentityOf(info);
    return true;
}
