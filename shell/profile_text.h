// The settings file's text as the system's profile functions lay it out:
// "[Section]" header lines, each followed by "Key=Value" lines. Section and
// key names compare with ASCII letters folded; values are the file's bytes,
// code page 932, read and written as such whatever the system's code page.
// Platform-free.
#pragma once

#include <string>
#include <string_view>

// The value of `key` in `section`, blanks around it removed and one pair of
// enclosing double quotes dropped; false when the file does not set it.
bool ReadProfileValue(std::string_view text, std::string_view section, std::string_view key, std::string& value);

// `text` with `key` in `section` set to `value`: the key's line replaced
// where it is set, otherwise a line added at the end of the section, and the
// section added at the end where it is missing. Every other line stays as it
// was; new lines end in CR LF.
std::string WithProfileValue(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value);
