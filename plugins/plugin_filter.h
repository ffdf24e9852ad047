// The extensions that a plug-in's file-type filter declares. A filter is a
// list of wildcard patterns separated by semicolons, such as "*.jpg;*.jpeg".
#pragma once

#include <string>
#include <vector>

// Every dot starts one extension, which runs to the next semicolon or to the
// end of the text; what stands before a dot is never looked at. So "*.tar.gz"
// declares "tar.gz" and "gz", "*.*" declares "*", "*." declares the empty
// extension, and a text without a dot declares none. Letter case is kept.
// The text ends at its first zero byte, as the plug-in's buffer does.
std::vector<std::string> ParseFilterExtensions(const std::string& filter);
