// Test-only plug-ins for the registry: one source, built once per variant,
// each declaring other file-type filters. Variant 6 never reports the end
// of its filters: every number asked gives "*.inf". Variant 7 also writes a
// line to "<its own path>.log" each time it is asked, so a test can see
// when the program loads it. Variant 8 never returns from GetPluginInfo.
#include <windows.h>

#include <cstdio>
#include <cstring>

#ifndef TEST_PLUGIN_VARIANT
#error "TEST_PLUGIN_VARIANT must be defined"
#endif

namespace {

// Filter texts for information numbers 2, 4, 6, ... (descriptions are never asked).
const char* const* Filters() {
#if TEST_PLUGIN_VARIANT == 1
    static const char* const filters[] = {"*.jpg;*.jpeg", "*.tar.gz", nullptr};
#elif TEST_PLUGIN_VARIANT == 2
    static const char* const filters[] = {"*.*", nullptr};
#elif TEST_PLUGIN_VARIANT == 3
    static const char* const filters[] = {"*.JPG", nullptr};
#elif TEST_PLUGIN_VARIANT == 4
    static const char* const filters[] = {"a text without a dot", "*.png", nullptr};
#elif TEST_PLUGIN_VARIANT == 7
    static const char* const filters[] = {"*.log7", nullptr};
#else
    static const char* const filters[] = {nullptr};
#endif
    return filters;
}

HMODULE g_module = nullptr;

void LogQuery(int infoNumber) {
    if (TEST_PLUGIN_VARIANT != 7) return;
    char path[MAX_PATH + 8] = {};
    GetModuleFileNameA(g_module, path, MAX_PATH);
    std::strcat(path, ".log");
    if (FILE* log = std::fopen(path, "a")) {
        std::fprintf(log, "%d\n", infoNumber);
        std::fclose(log);
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) int WINAPI GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
    LogQuery(infoNumber);
    if (TEST_PLUGIN_VARIANT == 8) Sleep(INFINITE);
    if (TEST_PLUGIN_VARIANT == 6) {
        std::strncpy(buffer, "*.inf", static_cast<size_t>(bufferLength) - 1);
        buffer[bufferLength - 1] = '\0';
        return 5;
    }
    if (TEST_PLUGIN_VARIANT == 5 && infoNumber == 2) {
        // Fills the whole buffer and leaves it unterminated.
        for (int i = 0; i < bufferLength; ++i) buffer[i] = "*.abc;"[i % 6];
        return bufferLength;
    }
    if (infoNumber < 2 || infoNumber % 2 != 0) return 0;
    const char* const* filters = Filters();
    for (int n = 2; *filters; n += 2, ++filters) {
        if (n != infoNumber) continue;
        std::strncpy(buffer, *filters, static_cast<size_t>(bufferLength) - 1);
        buffer[bufferLength - 1] = '\0';
        return static_cast<int>(std::strlen(buffer));
    }
    return 0;
}
