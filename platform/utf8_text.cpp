#include "platform/utf8_text.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsLeadSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsTrailSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(char32_t point, std::string& out) {
    if (point < 0x80) {
        out.push_back(static_cast<char>(point));
    } else if (point < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (point >> 6)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else if (point < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (point >> 12)));
        out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (point >> 18)));
        out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    }
}

void AppendUtf16(char32_t point, std::u16string& out) {
    if (point < 0x10000) {
        out.push_back(static_cast<char16_t>(point));
    } else {
        point -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 | (point >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 | (point & 0x3FF)));
    }
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The code point of the sequence at `at` and its length; false for a byte
// that starts no valid sequence. Overlong forms and points past U+10FFFF are
// refused; encoded surrogates are taken, as the generalised form has them.
bool DecodeOne(std::string_view text, size_t at, char32_t& point, size_t& length) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    char32_t lowest = 0;
    if (lead < 0x80) {
        point = lead;
        length = 1;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        point = lead & 0x1F;
        length = 2;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        point = lead & 0x0F;
        length = 3;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        point = lead & 0x07;
        length = 4;
        lowest = 0x10000;
    } else {
        return false;
    }
    if (at + length > text.size()) return false;
    for (size_t i = 1; i < length; ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[at + i]);
        if (!IsContinuation(byte)) return false;
        point = (point << 6) | (byte & 0x3F);
    }
    return point >= lowest && point <= 0x10FFFF;
}

}  // namespace

std::string Utf8FromUtf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t point = utf16[i];
        if (IsLeadSurrogate(point) && i + 1 < utf16.size() && IsTrailSurrogate(utf16[i + 1])) {
            point = 0x10000 + ((point - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(point, out);
    }
    return out;
}

std::u16string Utf16FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        char32_t point = 0;
        size_t length = 0;
        if (DecodeOne(utf8, at, point, length)) {
            AppendUtf16(point, out);
            at += length;
        } else {
            out.push_back(kReplacement);
            ++at;
        }
    }
    return out;
}
