// Owners for COM (Win32 builds only): interface pointers released once, and
// COM initialised on the calling thread for one scope.
#pragma once

#include <objbase.h>

#include <memory>
#include <type_traits>

struct ComReleaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <typename Interface>
using UniqueCom = std::unique_ptr<Interface, ComReleaser>;

static_assert(!std::is_copy_constructible<UniqueCom<IUnknown>>::value, "COM owners must not be copyable");

// Initialises COM (single-threaded apartment) for one scope. A thread that
// already has COM keeps it as it is; only an initialisation made here is
// undone.
class ScopedComInitialisation {
public:
    ScopedComInitialisation() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ScopedComInitialisation() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ScopedComInitialisation(const ScopedComInitialisation&) = delete;
    ScopedComInitialisation& operator=(const ScopedComInitialisation&) = delete;
    // False only when COM cannot be used at all on this thread.
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};
