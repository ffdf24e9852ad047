// Move-only owners of kernel handles, memory blocks and loaded modules
// (Win32 builds only).
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

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

struct MappedViewUnmapper {
    void operator()(void* view) const { UnmapViewOfFile(view); }
};
// A view of a file mapping (MapViewOfFile), unmapped when the owner goes.
using UniqueMappedView = std::unique_ptr<void, MappedViewUnmapper>;

struct ModuleFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
// A DLL loaded for one job and unloaded when the owner goes.
using UniqueModule = std::unique_ptr<std::remove_pointer<HMODULE>::type, ModuleFreer>;
