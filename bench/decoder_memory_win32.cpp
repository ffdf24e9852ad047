// How much memory the decoder helper takes for each picture: every file is
// decoded by a fresh helper through the plug-in, the way the preview does
// it, and the helper's peak working set and peak commit are printed.
// Usage: decoder_memory PLUGIN FILE...
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "plugins/decoder_helper.h"
#include "plugins/picture_decoder.h"

namespace {

double Mebibytes(SIZE_T bytes) { return bytes / (1024.0 * 1024.0); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: decoder_memory PLUGIN FILE...\n");
        return 2;
    }
    std::printf("%-28s %-10s %9s %14s %14s\n", "picture", "result", "ms", "peak set MiB", "peak commit MiB");
    for (int i = 2; i < argc; ++i) {
        EndDecoderHelper();
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        const UniqueBitmap bitmap = DecodeWithPlugin(nullptr, argv[1], argv[i]);
        QueryPerformanceCounter(&end);
        const double ms = (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
        BITMAP size = {};
        char result[32];
        if (bitmap && GetObjectA(bitmap.get(), sizeof size, &size)) {
            std::snprintf(result, sizeof result, "%ldx%ld", size.bmWidth, size.bmHeight);
        } else {
            std::snprintf(result, sizeof result, "none");
        }
        const char* name = std::strrchr(argv[i], '\\') ? std::strrchr(argv[i], '\\') + 1 : argv[i];
        PROCESS_MEMORY_COUNTERS_EX counters = {};
        counters.cb = sizeof counters;
        if (g_decoderHelper.process &&
            GetProcessMemoryInfo(g_decoderHelper.process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof counters)) {
            std::printf("%-28s %-10s %9.1f %14.1f %14.1f\n", name, result, ms, Mebibytes(counters.PeakWorkingSetSize),
                        Mebibytes(counters.PeakPagefileUsage));
        } else {
            std::printf("%-28s %-10s %9.1f %29s\n", name, result, ms, "helper ended by Tovrik");
        }
    }
    EndDecoderHelper();
    return 0;
}
