#include "engine/analysis_filter.h"

#include <limits>

#include "platform/path_text.h"

namespace {

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::string_view();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

bool ParseMinimumSize(std::string_view text, int64_t& size) {
    text = Trimmed(text);
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        if (value > (std::numeric_limits<int64_t>::max() - (c - '0')) / 10) return false;
        value = value * 10 + (c - '0');
    }
    size = value;
    return true;
}

std::vector<std::string> ParseFolderNames(std::string_view text) {
    std::vector<std::string> names;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find(';', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view name = Trimmed(text.substr(start, end - start));
        if (!name.empty()) names.emplace_back(name);
        start = end + 1;
    }
    return names;
}

std::string JoinFolderNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) {
        if (!joined.empty()) joined += ';';
        joined += name;
    }
    return joined;
}

bool SkipsFolderNamed(const AnalysisFilter& filter, std::string_view name) {
    for (const std::string& skipped : filter.skipFolders) {
        if (EqualsIgnoringCase(skipped, name)) return true;
    }
    return false;
}
