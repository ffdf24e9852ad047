// Move-only owners for kernel handles (Win32 builds only).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

#include "engine/file_identity.h"

struct KernelHandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// Owns a handle from CreateFile and the like; null for none (never
// INVALID_HANDLE_VALUE: use AdoptFileHandle).
using UniqueHandle = std::unique_ptr<void, KernelHandleCloser>;

struct FindHandleCloser {
    void operator()(HANDLE find) const { FindClose(find); }
};
using UniqueFindHandle = std::unique_ptr<void, FindHandleCloser>;

static_assert(!std::is_copy_constructible<UniqueHandle>::value, "handle owners must not be copyable");

// CreateFile and FindFirstFile report failure as INVALID_HANDLE_VALUE.
inline UniqueHandle AdoptFileHandle(HANDLE handle) {
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}
inline UniqueFindHandle AdoptFindHandle(HANDLE find) {
    return UniqueFindHandle(find == INVALID_HANDLE_VALUE ? nullptr : find);
}

struct LocalMemoryFreer {
    void operator()(HLOCAL block) const { LocalFree(block); }
};
// A memory block from LocalAlloc (or handed over by a DLL that made one).
using UniqueLocal = std::unique_ptr<void, LocalMemoryFreer>;

// A memory handle locked for one scope (GlobalLock / GlobalUnlock); get()
// is null when the lock failed.
class ScopedGlobalLock {
public:
    explicit ScopedGlobalLock(HGLOBAL block) : block_(block), address_(GlobalLock(block)) {}
    ~ScopedGlobalLock() {
        if (address_) GlobalUnlock(block_);
    }
    ScopedGlobalLock(const ScopedGlobalLock&) = delete;
    ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
    void* get() const { return address_; }

private:
    HGLOBAL block_;
    void* address_;
};

struct ModuleFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
// A DLL loaded for one job and unloaded when the owner goes.
using UniqueModule = std::unique_ptr<std::remove_pointer<HMODULE>::type, ModuleFreer>;

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
