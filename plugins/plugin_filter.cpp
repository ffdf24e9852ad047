#include "plugins/plugin_filter.h"

#include <cstring>

std::vector<std::string> ParseFilterExtensions(const std::string& filter) {
    // Neither "." nor ";" occurs as the second byte of a code page 932
    // character, so a plain byte search finds only real ones.
    const std::string text(filter.c_str(), std::strlen(filter.c_str()));
    std::vector<std::string> extensions;
    for (size_t dot = text.find('.'); dot != std::string::npos; dot = text.find('.', dot + 1)) {
        const size_t start = dot + 1;
        const size_t end = text.find(';', start);
        extensions.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    }
    return extensions;
}
