#include "platform/whole_file.h"

#include <windows.h>

#include <algorithm>

#include "platform/kernel_handles.h"
#include "platform/wide_path.h"

namespace {

constexpr DWORD kLargestWrite = 1u << 20;
constexpr int kTemporaryNameTries = 100;

bool WriteAll(HANDLE file, const std::string& contents) {
    size_t written = 0;
    while (written < contents.size()) {
        DWORD chunk = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(contents.size() - written, kLargestWrite));
        if (!WriteFile(file, contents.data() + written, wanted, &chunk, nullptr) || chunk == 0) return false;
        written += chunk;
    }
    return true;
}

// A name beside `path` that no file has: CREATE_NEW refuses any that exists.
UniqueHandle CreateTemporaryBeside(const std::wstring& path, std::wstring& temporary) {
    const std::wstring stem = path + L".tovrik-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount64());
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        temporary = WidePathForAnyLength(stem + L"-" + std::to_wstring(attempt) + L".partial");
        UniqueHandle file = AdoptFileHandle(
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return nullptr;
}

}  // namespace

bool ReadWholeFile(const std::wstring& path, size_t mostBytes, std::string& contents) {
    UniqueHandle file = AdoptFileHandle(CreateFileW(WidePathForAnyLength(path).c_str(), GENERIC_READ,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    contents.clear();
    char piece[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), piece, sizeof piece, &got, nullptr)) return false;
        if (got == 0) return true;
        contents.append(piece, got);
        if (contents.size() > mostBytes) return false;
    }
}

bool WriteWholeFile(const std::wstring& path, const std::string& contents) {
    std::wstring temporary;
    {
        UniqueHandle file = CreateTemporaryBeside(path, temporary);
        if (!file) return false;
        if (!WriteAll(file.get(), contents) || !FlushFileBuffers(file.get())) {
            file.reset();
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if (MoveFileExW(temporary.c_str(), WidePathForAnyLength(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(temporary.c_str());
    return false;
}
