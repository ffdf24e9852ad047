// Decimal digits grouped by three with ",": 1234567 -> "1,234,567".
#pragma once

#include <cstdint>
#include <string>

// "0" for every value below 1. Takes the full 64-bit length of a file.
std::string FormatThousands(int64_t value);
