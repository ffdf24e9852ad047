// Tovrik's side of the decoder helper (Win32 builds only): one helper
// process, tovrik-decode.exe from the program's folder, started at the first
// plug-in call and kept while it behaves. It runs with lowered rights in a
// job object that limits its memory and ends it when Tovrik ends. Whatever
// goes wrong with a call (the helper cannot start, dies, answers late or
// nonsense, grows past the memory limit, or holds much memory once a call
// is over) ends the helper; the next call starts a new one. The registry
// load asks through helpers of its own, side by side (plugin_registry.cpp).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/kernel_handles.h"

// How long Tovrik waits for a picture: a plug-in that hangs costs this
// long, once. Starting a helper has its own allowance on top.
constexpr DWORD kPictureWaitMs = 5000;
constexpr DWORD kHelperStartWaitMs = 5000;
// The helper's memory: room for a 100-megapixel picture decoded and handed
// over (about 400 MB each), half the 32-bit address space.
constexpr uint64_t kHelperMemoryLimit = uint64_t{1} << 30;
// What a helper may still hold once a call is over: far more than the
// system's codecs keep, far less than would leave no room for the next
// large picture.
constexpr uint32_t kHelperLeftBehindKiB = 256 * 1024;

struct DecoderHelper {
    UniqueHandle job;
    UniqueHandle process;
    UniqueHandle pipe;    // Tovrik's end, overlapped
    UniqueHandle ioDone;  // the event of the transfer in progress
    unsigned callsServed = 0;  // calls answered since it started
};

// The helper that decodes the previews.
extern DecoderHelper g_decoderHelper;

using HelperDeadline = ULONGLONG;
HelperDeadline HelperDeadlineAfter(DWORD milliseconds);

// Starts the helper when none runs; false, with nothing left running, when
// it cannot be started.
bool ReadyDecoderHelper(DecoderHelper& helper);

// Sends one request payload and returns the reply payload; false, with the
// helper ended, when no valid frame came back by the deadline. Starts the
// helper first when none runs.
bool AskDecoderHelper(DecoderHelper& helper, const std::string& request, HelperDeadline deadline,
                      std::string& reply);
inline bool AskDecoderHelper(const std::string& request, DWORD waitMs, std::string& reply) {
    return AskDecoderHelper(g_decoderHelper, request, HelperDeadlineAfter(waitMs), reply);
}

// A copy of `handle` in the running helper, with only `access`; 0 when
// there is no helper or the copy fails. The copy lives in the helper, which
// closes it; it goes with the helper at the latest.
uint32_t GiveHandleToDecoderHelper(HANDLE handle, DWORD access);

// After a reply that says the helper holds `committedKiB` of memory: ends
// the helper when a plug-in left more than kHelperLeftBehindKiB behind.
void EndDecoderHelperHoldingTooMuch(DecoderHelper& helper, uint32_t committedKiB);

// Ends the helper, if one runs, and everything it started.
void EndDecoderHelper(DecoderHelper& helper = g_decoderHelper);
