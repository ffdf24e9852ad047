// GetPluginInfo for the test plug-ins: copies info text `number` of a fixed
// table into the host's buffer, always terminated; 0 past the table's end.
#pragma once

#include <algorithm>
#include <cstring>

template <size_t Count>
int CopyPluginInfo(const char* const (&texts)[Count], int number, char* buffer, int bufferLength) {
    if (number < 0 || number >= static_cast<int>(Count) || buffer == nullptr || bufferLength <= 0) return 0;
    const size_t length = std::min(std::strlen(texts[number]), static_cast<size_t>(bufferLength) - 1);
    std::memcpy(buffer, texts[number], length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}
