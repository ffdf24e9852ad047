// Tovrik's side of the decoder helper (Win32 builds only): one helper
// process, tovrik-decode.exe from the program's folder, started at the first
// plug-in call and kept while it behaves. It runs in a job object that
// limits its memory and ends it when Tovrik ends. Whatever goes wrong with
// a call (the helper cannot start, dies, answers late or nonsense, or grows
// past the memory limit) ends the helper; the next call starts a new one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/kernel_handles.h"

// How long Tovrik waits for one answer: a plug-in that hangs costs this
// long, once. Starting a helper has its own allowance on top.
constexpr DWORD kFiltersWaitMs = 3000;
constexpr DWORD kPictureWaitMs = 5000;
constexpr DWORD kHelperStartWaitMs = 5000;
// The helper's memory: room for a 100-megapixel picture decoded and handed
// over (about 400 MB each), half the 32-bit address space.
constexpr uint64_t kHelperMemoryLimit = uint64_t{1} << 30;

struct DecoderHelper {
    UniqueHandle job;
    UniqueHandle process;
    UniqueHandle pipe;     // Tovrik's end, overlapped
    UniqueHandle ioDone;   // the event of the transfer in progress
    unsigned started = 0;  // helpers started so far; names their pipes
};

extern DecoderHelper g_decoderHelper;

// Sends one request payload and returns the reply payload; false, with the
// helper ended, when no valid frame came back within `waitMs`.
bool AskDecoderHelper(const std::string& request, DWORD waitMs, std::string& reply);

// Moves a handle that the running helper named in its reply into Tovrik,
// closing it in the helper; null when there is none to take.
UniqueHandle TakeHandleFromDecoderHelper(uint32_t helperHandle);

// Ends the helper, if one runs, and everything it started.
void EndDecoderHelper();
