#include "platform/cp932_text.h"

namespace {

// Length of the character starting at `position`: 2 for a lead byte with a
// byte after it, 1 otherwise (a lead byte cut off at the end stands alone).
size_t CharacterLength(const std::string& text, size_t position) {
    if (IsCp932LeadByte(static_cast<unsigned char>(text[position])) && position + 1 < text.size()) return 2;
    return 1;
}

char FoldAsciiLetter(char byte) { return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte; }

}  // namespace

bool IsCp932LeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

size_t LastBackslashPosition(const std::string& text) {
    size_t last = std::string::npos;
    for (size_t position = 0; position < text.size(); position += CharacterLength(text, position)) {
        if (text[position] == '\\') last = position;
    }
    return last;
}

bool EndsWithBackslash(const std::string& text) {
    return !text.empty() && LastBackslashPosition(text) == text.size() - 1;
}

bool EqualsIgnoringCase(const std::string& first, const std::string& second) {
    if (first.size() != second.size()) return false;
    for (size_t position = 0; position < first.size();) {
        const size_t length = CharacterLength(first, position);
        if (length == 2) {
            if (first.compare(position, 2, second, position, 2) != 0) return false;
        } else if (FoldAsciiLetter(first[position]) != FoldAsciiLetter(second[position])) {
            return false;
        }
        position += length;
    }
    return true;
}

std::string PathExtension(const std::string& path) {
    // "." is never the second byte of a code page 932 character.
    const size_t dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : path.substr(dot);
}
