// ConvertJisToShiftJis, whose pair arithmetic is checked against characters
// whose Shift-JIS codes are known, at the edges of the ranges it maps.
#include "results/text_preview.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Kanji(const std::string& pairs) { return "\x1b$B" + pairs + "\x1b(B"; }

TEST(JisToShiftJisTest, PairsConvertByTheJisArithmetic) {
    struct Known {
        const char* jis;
        const char* shiftJis;
    };
    const Known known[] = {
        {"\x24\x22", "\x82\xa0"},  // あ: even row
        {"\x49\x3d", "\x95\x5c"},  // 表: odd row, trail byte 0x5C
        {"\x30\x21", "\x88\x9f"},  // 亜: odd row, first cell
        {"\x34\x41", "\x8a\xbf"},  // 漢
        {"\x25\x74", "\x83\x94"},  // ヴ
        {"\x21\x60", "\x81\x80"},  // ÷: odd row from cell 0x60 skips 0x7F
        {"\x21\x7e", "\x81\x9e"},  // ◇: last cell of an odd row
        {"\x22\x21", "\x81\x9f"},  // ◆: first cell of an even row
        {"\x5e\x7e", "\x9f\xfc"},  // 滌: last lead byte below the kana gap
        {"\x5f\x21", "\xe0\x40"},  // 漾: first lead byte above it
        {"\x74\x24", "\xea\xa2"},  // 瑤
    };
    for (const Known& character : known) {
        EXPECT_EQ(ConvertJisToShiftJis(Kanji(character.jis)), character.shiftJis) << character.shiftJis;
    }
    EXPECT_EQ(ConvertJisToShiftJis("\x1b$B\x7e\x7e"), "\xef\xfc");
}

TEST(JisToShiftJisTest, DesignationsSwitchState) {
    EXPECT_EQ(ConvertJisToShiftJis("plain text\r\n"), "plain text\r\n");
    EXPECT_EQ(ConvertJisToShiftJis("a" + Kanji("\x24\x22\x24\x24") + "b"), "a\x82\xa0\x82\xa2" "b");
    EXPECT_EQ(ConvertJisToShiftJis("\x1b$B\x24\x22\x1b(Jx"), "\x82\xa0x");
    // Kana state passes the bytes through unchanged.
    EXPECT_EQ(ConvertJisToShiftJis("\x1b)I\x31\x32\x1b(Bz"), "\x31\x32z");
    // Line feeds inside a kanji run pair up like any other byte.
    EXPECT_EQ(ConvertJisToShiftJis("\x1b$B\r\n\x24\x22"), "\x82\xa0");
}

TEST(JisToShiftJisTest, InvalidPairsGiveNothing) {
    EXPECT_EQ(ConvertJisToShiftJis(Kanji("\x20\x22\x24\x7f\x24\x22")), "\x82\xa0");
    EXPECT_EQ(ConvertJisToShiftJis(Kanji("\x24\xa2\x80\x22")), "");
}

TEST(JisToShiftJisTest, UnrecognisedEscapesShowAsText) {
    // ESC $ @, the older JIS X 0208 designation, is not recognised: the
    // bytes after the ESC, and the raw JIS bytes, show as ASCII.
    EXPECT_EQ(ConvertJisToShiftJis("\x1b$@\x24\x22\x1b(B"), "\\033$@$\"");
    EXPECT_EQ(ConvertJisToShiftJis("a\x1bz"), "a\\033z");
    EXPECT_EQ(ConvertJisToShiftJis("a\x1b"), "a\\033");
    EXPECT_EQ(ConvertJisToShiftJis("a\x1b("), "a\\033(");
}

TEST(JisToShiftJisTest, SkipStateDropsUntilTheNextDesignation) {
    EXPECT_EQ(ConvertJisToShiftJis("a\x1b-Ab\xe9" "c\x1b(Bd"), "a\\033d");
}

TEST(JisToShiftJisTest, PendingFirstByteIsDroppedByAnEscape) {
    // A lone 0x24 before the designation back to ASCII: dropped, so the
    // next kanji run pairs from its own first byte.
    EXPECT_EQ(ConvertJisToShiftJis("\x1b$B\x24\x1b(Bx\x1b$B\x49\x3d"), "x\x95\x5c");
    // Also before an unrecognised escape, whose following bytes stay in the
    // kanji run, and at the end of the text.
    EXPECT_EQ(ConvertJisToShiftJis("\x1b$B\x24\x1b\x24\x22"), "\\033\x82\xa0");
    EXPECT_EQ(ConvertJisToShiftJis("\x1b$B\x24\x22\x24"), "\x82\xa0");
}

TEST(JisToShiftJisTest, StopsAtTheFirstZeroByte) {
    EXPECT_EQ(ConvertJisToShiftJis(std::string("ab\0\x1b$B\x24\x22", 8)), "ab");
}

}  // namespace
