// Room for `more` elements before anything is appended: the container grows
// by doubling, so appending stays cheap, and the reservation comes first, so
// that running out of memory leaves what the caller was changing as it was.
#pragma once

#include <algorithm>
#include <cstddef>

template <typename Container>
void ReserveOneMore(Container& container, size_t more = 1) {
    if (container.size() + more > container.capacity()) {
        container.reserve(std::max(container.size() + more, container.empty() ? size_t{64} : container.size() * 2));
    }
}
