// How much memory this process holds committed, its loaded images aside
// (Win32 builds only): what a plug-in or a loaded picture leaves behind,
// touched or not. Walks the address space, so it costs a call per region.
#pragma once

#include <cstdint>

uint64_t CommittedBytesOfThisProcess();
