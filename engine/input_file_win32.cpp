#include "engine/input_file.h"

#include <windows.h>

#include "engine/win32_handles.h"
#include "engine/win32_path.h"

struct OpenedFile {
    UniqueHandle handle;
};

void OpenedFileCloser::operator()(OpenedFile* file) const { delete file; }

InputFile OpenInputFile(const std::string& path) {
    std::wstring wide = WidePathFromNarrow(path);
    if (wide.empty()) return nullptr;
    UniqueHandle handle = AdoptFileHandle(CreateFileW(wide.c_str(), GENERIC_READ,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
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
