// What keeps the decoder helper apart from Tovrik (Win32 builds only): a
// pipe that only the current user can open, under a name no other process
// can guess, the check that whoever connected is the helper Tovrik started,
// and the lowered rights the helper runs with.
#pragma once

#include <windows.h>

#include <string>

#include "platform/kernel_handles.h"

struct HelperPipe {
    UniqueHandle handle;  // Tovrik's end, overlapped, the one instance
    std::wstring name;    // \\.\pipe\tovrik-decode- and 128 random bits
};

// A new pipe that only the current user can open; with
// `forLowIntegrityClient`, labelled so that a helper at low integrity can
// open it too. Null when no random name or no such pipe can be made.
HelperPipe CreateHelperPipe(bool forLowIntegrityClient);

// True when the client at the other end of the pipe is `process`.
bool PipeClientIsProcess(HANDLE pipe, HANDLE process);

// The token the helper runs with: Tovrik's own without its privileges
// (all but the one that every process holds) and at low integrity, so that
// a hostile plug-in can neither open Tovrik's process nor write the user's
// files. Null where the system cannot lower a token; the helper then runs
// with Tovrik's rights.
UniqueHandle LoweredHelperToken();
