#include "platform/module_path.h"

#include <windows.h>

#include <vector>


namespace {

// The longest path the wide functions take.
constexpr DWORD kLongestPath = 32768;

}  // namespace

std::wstring ExecutablePathWide() {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::wstring();
        // A path that fills the buffer may have been cut short.
        if (length < buffer.size() - 1) return std::wstring(buffer.data(), length);
        if (buffer.size() > kLongestPath) return std::wstring();
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring ExecutableFolderWide() {
    const std::wstring executable = ExecutablePathWide();
    const size_t slash = executable.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : executable.substr(0, slash + 1);
}
