#include "shell/profile_text.h"

#include <vector>

#include "platform/path_text.h"

namespace {

struct Line {
    size_t begin = 0;
    size_t end = 0;   // before the line break
    size_t next = 0;  // after the line break
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    for (size_t at = 0; at < text.size();) {
        Line line;
        line.begin = at;
        const size_t feed = text.find('\n', at);
        line.next = feed == std::string_view::npos ? text.size() : feed + 1;
        line.end = feed == std::string_view::npos ? text.size() : feed;
        if (line.end > line.begin && text[line.end - 1] == '\r') --line.end;
        lines.push_back(line);
        at = line.next;
    }
    return lines;
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::string_view();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The section a header line names; false for any other line.
bool SectionHeader(std::string_view line, std::string_view& name) {
    line = Trimmed(line);
    if (line.size() < 2 || line.front() != '[') return false;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    name = Trimmed(line.substr(1, close - 1));
    return true;
}

// The key and value of a "Key=Value" line; false for any other line.
bool KeyLine(std::string_view line, std::string_view& key, std::string_view& value) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    key = Trimmed(line.substr(0, equals));
    value = Trimmed(line.substr(equals + 1));
    return true;
}

// Where the section's lines are, and the key's line among them.
struct Place {
    bool sectionFound = false;
    size_t sectionEnd = 0;  // the offset after the section's last non-blank line
    bool keyFound = false;
    Line keyLine;
};

Place Find(std::string_view text, std::string_view section, std::string_view key) {
    Place place;
    bool inSection = false;
    for (const Line& line : SplitLines(text)) {
        const std::string_view content = text.substr(line.begin, line.end - line.begin);
        std::string_view name, lineKey, value;
        if (SectionHeader(content, name)) {
            if (inSection) break;
            inSection = EqualsIgnoringCase(name, section);
            if (inSection) {
                place.sectionFound = true;
                place.sectionEnd = line.next;
            }
            continue;
        }
        if (!inSection) continue;
        if (!Trimmed(content).empty()) place.sectionEnd = line.next;
        if (!place.keyFound && KeyLine(content, lineKey, value) && EqualsIgnoringCase(lineKey, key)) {
            place.keyFound = true;
            place.keyLine = line;
        }
    }
    return place;
}

}  // namespace

bool ReadProfileValue(std::string_view text, std::string_view section, std::string_view key, std::string& value) {
    const Place place = Find(text, section, key);
    if (!place.keyFound) return false;
    std::string_view lineKey, found;
    KeyLine(text.substr(place.keyLine.begin, place.keyLine.end - place.keyLine.begin), lineKey, found);
    if (found.size() >= 2 && found.front() == '"' && found.back() == '"') found = found.substr(1, found.size() - 2);
    value.assign(found);
    return true;
}

std::string WithProfileValue(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value) {
    const Place place = Find(text, section, key);
    std::string keyLine = std::string(key) + "=" + std::string(value);
    std::string result;
    if (place.keyFound) {
        result.assign(text.substr(0, place.keyLine.begin));
        result += keyLine;
        result.append(text.substr(place.keyLine.end));
        return result;
    }
    if (place.sectionFound) {
        result.assign(text.substr(0, place.sectionEnd));
        // The section's last line may lack its line break at the file's end.
        if (!result.empty() && result.back() != '\n') result += "\r\n";
        result += keyLine + "\r\n";
        result.append(text.substr(place.sectionEnd));
        return result;
    }
    result.assign(text);
    if (!result.empty() && result.back() != '\n') result += "\r\n";
    result += "[" + std::string(section) + "]\r\n" + keyLine + "\r\n";
    return result;
}
