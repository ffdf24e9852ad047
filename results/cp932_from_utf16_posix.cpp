#include "results/cp932_from_utf16.h"

#include <iconv.h>

namespace {

// A preview converts up to millions of units one at a time, so each thread
// opens its converter once and keeps it until the thread ends.
struct Cp932Converter {
    iconv_t descriptor = iconv_open("CP932", "UTF-16LE");
    Cp932Converter() = default;
    Cp932Converter(const Cp932Converter&) = delete;
    Cp932Converter& operator=(const Cp932Converter&) = delete;
    ~Cp932Converter() {
        if (IsOpen()) iconv_close(descriptor);
    }
    bool IsOpen() const { return descriptor != reinterpret_cast<iconv_t>(-1); }
};

}  // namespace

std::string Cp932FromUtf16Unit(char16_t unit) {
    thread_local Cp932Converter converter;
    if (!converter.IsOpen()) return std::string();
    char input[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    char output[4];
    char* in = input;
    char* out = output;
    size_t inLeft = sizeof input;
    size_t outLeft = sizeof output;
    const size_t result = iconv(converter.descriptor, &in, &inLeft, &out, &outLeft);
    if (result != 0 || inLeft != 0) {
        // A lone surrogate half waits for its partner, an unmappable unit
        // fails: either way, start the next unit afresh.
        iconv(converter.descriptor, nullptr, nullptr, nullptr, nullptr);
        return std::string();
    }
    return std::string(output, static_cast<size_t>(out - output));
}
