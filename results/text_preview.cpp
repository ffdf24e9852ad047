#include "results/text_preview.h"

#include <cstring>

#include "engine/input_file.h"
#include "platform/path_text.h"
#include "results/cp932_from_utf16.h"

namespace {

constexpr size_t kBlockBytes = 1024;
static_assert(kTextPreviewByteCap % kBlockBytes == 0, "the cap ends the reading at a block's end");
constexpr unsigned char kLineFeed = 0x0A;
constexpr unsigned char kEscape = 0x1B;

enum class ReadingMode { kByte, kUtf16, kJis };

struct PreviewReading {
    explicit PreviewReading(int limit) : lineLimit(limit) {}
    const int lineLimit;
    std::string collected;
    int lineCount = 0;
    ReadingMode mode = ReadingMode::kByte;
    bool finished = false;  // the line limit was reached
};

// Counts a line feed; the one that reaches the limit ends the reading and is
// not collected.
bool LineFeedEndsReading(PreviewReading& reading) {
    if (++reading.lineCount < reading.lineLimit) return false;
    reading.finished = true;
    return true;
}

// `length` bytes arrived; the zeros after them would add nothing.
// `first` is the file's first block, whose first unit is the byte-order
// mark; a later block starts with text even when nothing was collected yet
// (the blocks before held only zero units).
void WalkUtf16Block(PreviewReading& reading, const unsigned char* block, size_t length, bool first) {
    const size_t units = (length + 1) / 2;
    for (size_t i = first ? 1 : 0; i < units && !reading.finished; ++i) {
        const char16_t unit = static_cast<char16_t>(block[2 * i] | block[2 * i + 1] << 8);
        if (unit == kLineFeed && LineFeedEndsReading(reading)) return;
        if (unit == 0) continue;
        // Only ASCII stands for itself: 0x80-0xFF are lead bytes and
        // half-width kana in code page 932, not Latin-1.
        if (unit < 0x80) {
            reading.collected.push_back(static_cast<char>(unit));
        } else {
            reading.collected += Cp932FromUtf16Unit(unit);
        }
    }
}

void WalkByteBlock(PreviewReading& reading, const unsigned char* block, size_t length) {
    for (size_t i = 0; i < length && !reading.finished; ++i) {
        const unsigned char byte = block[i];
        if (byte == kLineFeed && LineFeedEndsReading(reading)) return;
        if (byte == kEscape) reading.mode = ReadingMode::kJis;
        if (byte != 0) reading.collected.push_back(static_cast<char>(byte));
    }
}

enum class JisState { kAscii, kKana, kKanji, kSkip };

// JIS X 0208 row/cell bytes to Shift-JIS; false when either byte lies
// outside 0x21-0x7E.
bool ShiftJisFromJis(unsigned char j1, unsigned char j2, char (&shiftJis)[2]) {
    if (j1 < 0x21 || j1 > 0x7E || j2 < 0x21 || j2 > 0x7E) return false;
    // Two JIS rows share one Shift-JIS lead byte; the lead bytes skip
    // 0xA0-0xDF, where the half-width kana live.
    int s1 = ((j1 - 0x21) >> 1) + 0x81;
    if (j1 >= 0x5F) s1 += 0x40;
    // Odd rows take the trail bytes 0x40-0x9E (skipping 0x7F), even rows
    // 0x9F-0xFC.
    int s2;
    if (j1 % 2 == 0) {
        s2 = j2 + 0x7E;
    } else {
        s2 = j2 + 0x1F;
        if (j2 >= 0x60) s2 += 1;
    }
    shiftJis[0] = static_cast<char>(s1);
    shiftJis[1] = static_cast<char>(s2);
    return true;
}

constexpr char kShownEscape[] = "\\033";

}  // namespace

bool IsTextFileExtension(const std::string& extension) {
    for (const char* textExtension : {".txt", ".ini", ".c", ".cpp", ".h", ".sql", ".java"}) {
        if (EqualsIgnoringCase(extension, textExtension)) return true;
    }
    return false;
}

std::string ReadTextPreview(const std::string& path, int lineLimit) {
    InputFile file = OpenInputFile(path);
    if (!file) return std::string();
    PreviewReading reading(lineLimit);
    unsigned char block[kBlockBytes];
    for (size_t totalRead = 0;;) {
        std::memset(block, 0, sizeof block);
        const size_t length = ReadInputFile(*file, block, sizeof block).bytes;
        // The byte-order mark counts only as the file's first two bytes.
        const bool first = totalRead == 0;
        totalRead += length;
        if (first && block[0] == 0xFF && block[1] == 0xFE) reading.mode = ReadingMode::kUtf16;
        if (reading.mode == ReadingMode::kUtf16) {
            WalkUtf16Block(reading, block, length, first);
        } else {
            WalkByteBlock(reading, block, length);
        }
        // ReadInputFile comes back short only at the end or on an error.
        if (reading.finished || length < sizeof block || totalRead >= kTextPreviewByteCap) break;
    }
    file.reset();
    if (reading.mode == ReadingMode::kJis) return ConvertJisToShiftJis(reading.collected);
    return std::move(reading.collected);
}

std::string ConvertJisToShiftJis(const std::string& text) {
    const size_t length = std::strlen(text.c_str());
    std::string converted;
    converted.reserve(length);
    JisState state = JisState::kAscii;
    // A first byte of a pair still waiting for its partner. An escape
    // sequence drops it: pairing it across the sequence would join bytes of
    // two runs and shift every later pair of the new run by one byte.
    int pendingFirst = -1;
    for (size_t i = 0; i < length;) {
        if (static_cast<unsigned char>(text[i]) == kEscape) {
            pendingFirst = -1;
            const std::string sequence = text.substr(i, 3);
            if (sequence == "\x1B(B" || sequence == "\x1B(J") {
                state = JisState::kAscii;
            } else if (sequence == "\x1B)I") {
                state = JisState::kKana;
            } else if (sequence == "\x1B$B") {
                state = JisState::kKanji;
            } else if (sequence == "\x1B-A") {
                converted += kShownEscape;
                state = JisState::kSkip;
            } else {
                converted += kShownEscape;
                ++i;
                continue;
            }
            i += 3;
            continue;
        }
        const unsigned char byte = static_cast<unsigned char>(text[i++]);
        switch (state) {
            case JisState::kAscii:
            case JisState::kKana:
                converted.push_back(static_cast<char>(byte));
                break;
            case JisState::kSkip:
                break;
            case JisState::kKanji:
                if (pendingFirst < 0) {
                    pendingFirst = byte;
                } else {
                    char shiftJis[2];
                    if (ShiftJisFromJis(static_cast<unsigned char>(pendingFirst), byte, shiftJis)) {
                        converted.append(shiftJis, 2);
                    }
                    pendingFirst = -1;
                }
                break;
        }
    }
    return converted;
}
