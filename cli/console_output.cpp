#include "cli/console_output.h"

#ifdef _WIN32
#include <windows.h>
#include <io.h>

#include "platform/wide_text.h"
#endif

void WriteOutput(std::FILE* stream, const std::string& utf8) {
    if (utf8.empty()) return;
#ifdef _WIN32
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        const std::wstring wide = WideFromUtf8(utf8);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
#endif
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}
