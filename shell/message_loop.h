// The process's message loop.
#pragma once

#include <windows.h>

// The exit code when the system can deliver no more messages.
constexpr int kMessageLoopFailed = 1;

using GetMessageFunction = BOOL(WINAPI*)(LPMSG message, HWND window, UINT first, UINT last);

// Translates and dispatches every message until the quit message, whose
// code it returns; kMessageLoopFailed when getting a message fails (-1),
// since the message then holds nothing. `getMessage` is GetMessageW but
// where a test stands in for the system.
int RunMessageLoop(GetMessageFunction getMessage = GetMessageW);
