#include "results/results_csv.h"

const char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted.push_back('"');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

std::string ResultsCsvLine(int32_t group, int64_t size, const std::string& utf8Path, bool first) {
    return std::to_string(group) + "," + std::to_string(size) + "," + CsvField(utf8Path) + "," +
           (first ? "1" : "0") + "\r\n";
}

std::string ResultsCsvLines(const PresentedGroup& group) {
    std::string lines;
    for (size_t member = 0; member < group.paths.size(); ++member)
        lines += ResultsCsvLine(group.number, group.size, group.paths[member], member == 0);
    return lines;
}
