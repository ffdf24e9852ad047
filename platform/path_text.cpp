#include "platform/path_text.h"

namespace {

char FoldAsciiLetter(char byte) { return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte; }

}  // namespace

bool EqualsIgnoringCase(std::string_view first, std::string_view second) {
    if (first.size() != second.size()) return false;
    for (size_t position = 0; position < first.size(); ++position) {
        if (FoldAsciiLetter(first[position]) != FoldAsciiLetter(second[position])) return false;
    }
    return true;
}

std::string PathExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : path.substr(dot);
}
