#include "bundled-plugin/plugin_input_win32.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "bundled-plugin/susie_result.h"
#include "platform/kernel_handles.h"
#include "platform/wide_path.h"
#include "platform/wide_text.h"

namespace {

// Reads up to `count` bytes from the file's position; fewer only at its end
// or on a read error.
size_t ReadUpTo(HANDLE file, unsigned char* buffer, size_t count) {
    size_t total = 0;
    while (total < count) {
        DWORD got = 0;
        if (!ReadFile(file, buffer + total, static_cast<DWORD>(count - total), &got, nullptr) || got == 0) break;
        total += got;
    }
    return total;
}

// The host's narrow path is code page 932 and may be longer than MAX_PATH,
// so it is opened through its wide form.
int ReadPictureFile(LPCSTR fileName, LONG offset, PictureInput& picture) {
    if (offset < 0) return kSusieReadError;
    const std::wstring path = WidePathForAnyLength(WideFromCp932(fileName));
    if (path.empty()) return kSusieReadError;
    UniqueHandle file = AdoptFileHandle(CreateFileW(path.c_str(), GENERIC_READ,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return kSusieReadError;

    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || offset > size.QuadPart) return kSusieReadError;
    const LONGLONG remaining = size.QuadPart - offset;
    if (remaining > kMaxPictureFileBytes) return kSusieOutOfMemory;
    LARGE_INTEGER start;
    start.QuadPart = offset;
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) return kSusieReadError;

    const size_t length = static_cast<size_t>(remaining);
    picture.owned.reset(new (std::nothrow) unsigned char[length > 0 ? length : 1]);
    if (!picture.owned) return kSusieOutOfMemory;
    if (ReadUpTo(file.get(), picture.owned.get(), length) != length) return kSusieReadError;
    picture.bytes = picture.owned.get();
    picture.length = length;
    return kSusieSuccess;
}

}  // namespace

int ReadPictureInput(LPCSTR input, LONG length, unsigned int flags, PictureInput& picture) {
    if (input == nullptr) return kSusieInternalError;
    switch (flags & kSusieInputMask) {
    case kSusieInputFile:
        return ReadPictureFile(input, length, picture);
    case kSusieInputMemory:
        if (length < 0) return kSusieInternalError;
        picture.bytes = reinterpret_cast<const unsigned char*>(input);
        picture.length = static_cast<size_t>(length);
        return kSusieSuccess;
    default:
        return kSusieNotImplemented;
    }
}

size_t ReadSupportHead(void* fileHandleOrHead, unsigned char* head) {
    // A failed CreateFile's handle has a high word too, yet points nowhere.
    if (fileHandleOrHead == INVALID_HANDLE_VALUE) return 0;
    // Addresses below 64 KiB are never valid, which is what lets the one
    // argument carry either a handle or a pointer.
    if (reinterpret_cast<uintptr_t>(fileHandleOrHead) > 0xFFFF) {
        std::memcpy(head, fileHandleOrHead, kSusieSupportHeadLength);
        return kSusieSupportHeadLength;
    }
    HANDLE file = fileHandleOrHead;
    LARGE_INTEGER zero{};
    LARGE_INTEGER position{};
    const bool seekable = SetFilePointerEx(file, zero, &position, FILE_CURRENT) != FALSE;
    const size_t length = ReadUpTo(file, head, kSusieSupportHeadLength);
    if (seekable) SetFilePointerEx(file, position, nullptr, FILE_BEGIN);
    return length;
}
