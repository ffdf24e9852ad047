#include "platform/committed_memory.h"

#include <windows.h>

uint64_t CommittedBytesOfThisProcess() {
    uint64_t committed = 0;
    MEMORY_BASIC_INFORMATION region = {};
    for (uintptr_t at = 0; VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type != MEM_IMAGE) committed += region.RegionSize;
        const uintptr_t next = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;  // the top of the address space
        at = next;
    }
    return committed;
}
