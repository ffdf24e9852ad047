// What the test plug-ins share: GetPluginInfo over a fixed table, the word
// that picks a behaviour, and a declined GetPicture.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

// Copies info text `number` of a fixed table into the host's buffer, always
// terminated; 0 past the table's end.
template <size_t Count>
int CopyPluginInfo(const char* const (&texts)[Count], int number, char* buffer, int bufferLength) {
    if (number < 0 || number >= static_cast<int>(Count) || buffer == nullptr || bufferLength <= 0) return 0;
    const size_t length = std::min(std::strlen(texts[number]), static_cast<size_t>(bufferLength) - 1);
    std::memcpy(buffer, texts[number], length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

// The first word of the file, which tells a test plug-in what to do.
inline std::string FirstWord(LPCSTR path) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return std::string();
    char text[64] = {};
    const size_t length = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    std::string word(text, length);
    return word.substr(0, word.find_first_of(" \r\n"));
}

// GetPicture's answer for a file a plug-in declines: nothing to free, and
// 2, the Susie interface's "unknown format".
inline int DeclinePicture(HLOCAL* bitmapInfo, HLOCAL* bitmapBits) {
    if (bitmapInfo) *bitmapInfo = nullptr;
    if (bitmapBits) *bitmapBits = nullptr;
    return 2;
}
