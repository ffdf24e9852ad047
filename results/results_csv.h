// The results as comma-separated values, for spreadsheets and scripts: one
// line per file, "group,size,path,first", quoted as RFC 4180 asks, each line
// ending in CR LF, in UTF-8.
#pragma once

#include <cstdint>
#include <string>

#include "results/new_groups.h"

// Spreadsheet programs on Japanese Windows read a file without it as code
// page 932.
extern const char kUtf8ByteOrderMark[];

// The text as it stands, or in double quotes with inner quotes doubled when
// it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);

// One file: its group's number and size in bytes (no separators), its path
// in UTF-8, and 1 for the group's first member, else 0.
std::string ResultsCsvLine(int32_t group, int64_t size, const std::string& utf8Path, bool first);

// The lines of one group as the results show it, its first member first.
std::string ResultsCsvLines(const PresentedGroup& group);
