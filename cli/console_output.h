// Where tovrik-find writes: paths are UTF-8 text. On Windows a console gets
// them as UTF-16 through the console's own interface, which shows every
// name whatever the console's code page; redirected output stays UTF-8.
#pragma once

#include <cstdio>
#include <string>

// Writes `utf8` whole to `stream` (stdout or stderr).
void WriteOutput(std::FILE* stream, const std::string& utf8);
