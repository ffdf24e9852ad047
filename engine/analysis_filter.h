// What an analysis leaves out beyond dot names: files below a size, and
// folders with given names (".git", "node_modules"). With the defaults
// nothing more is left out. Platform-free.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct AnalysisFilter {
    int64_t minimumSize = 0;               // files below this many bytes are not catalogued
    std::vector<std::string> skipFolders;  // UTF-8 names, matched with ASCII letters folded
};

// Decimal digits, blanks around them allowed; an empty text is 0. False
// for anything else, or a value past what a file size can be.
bool ParseMinimumSize(std::string_view text, int64_t& size);

// Names separated by ";", blanks around each dropped, empty ones left out.
std::vector<std::string> ParseFolderNames(std::string_view text);

// The names joined by ";", as the settings hold them.
std::string JoinFolderNames(const std::vector<std::string>& names);

bool SkipsFolderNamed(const AnalysisFilter& filter, std::string_view name);
