#include "results/text_preview.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/support/temp_tree.h"

namespace {

const std::string kBom = "\xff\xfe";

// UTF-16 little-endian bytes of the code units.
std::string Utf16Le(const std::u16string& units) {
    std::string bytes;
    for (char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

class TextPreviewTest : public ::testing::Test {
protected:
    std::string Preview(const std::string& contents, int lineLimit = 300) {
        tree_.File("preview.txt", contents);
        return ReadTextPreview(tree_.Path("preview.txt"), lineLimit);
    }

    TempTree tree_;
};

TEST(TextFileExtensionTest, SevenExtensionsInAnyCase) {
    for (const char* extension : {".txt", ".ini", ".c", ".cpp", ".h", ".sql", ".java", ".C", ".CPP", ".Txt", ".JAVA"}) {
        EXPECT_TRUE(IsTextFileExtension(extension)) << extension;
    }
    for (const char* extension : {".hpp", ".text", ".cxx", ".cc", "txt", ".tx", ".txt ", "", ".", ".bmp"}) {
        EXPECT_FALSE(IsTextFileExtension(extension)) << extension;
    }
}

TEST_F(TextPreviewTest, StopsAtTheLimitLineFeedWithoutIt) {
    std::string contents;
    std::string expected;
    for (int line = 1; line <= 1000; ++line) {
        const std::string text = "line " + std::to_string(line);
        contents += text + "\n";
        if (line < 300) expected += text + "\n";
        if (line == 300) expected += text;
    }
    ASSERT_GT(expected.size(), 2048u);  // the limit falls in the third block
    EXPECT_EQ(Preview(contents), expected);
}

TEST_F(TextPreviewTest, LimitLineFeedAtABlockEdge) {
    // Third line feed as the last byte of the first block, and as the first
    // byte of the second.
    const std::string first(1021, 'a');
    EXPECT_EQ(Preview("\n\n" + first + "\nafter", 3), "\n\n" + first);
    EXPECT_EQ(Preview("\n\n" + first + "b\nafter", 3), "\n\n" + first + "b");
}

TEST_F(TextPreviewTest, FileWithFewerLinesOrNoLineFeedIsCollectedWhole) {
    EXPECT_EQ(Preview("one\r\ntwo\r\n\tthree"), "one\r\ntwo\r\n\tthree");
    for (size_t length : {1u, 1023u, 1024u, 1025u, 2048u, 5000u}) {
        const std::string line(length, 'x');
        EXPECT_EQ(Preview(line), line) << length;
    }
    EXPECT_EQ(Preview(""), "");
}

TEST_F(TextPreviewTest, ShiftJisTakenAsItStandsAndZeroBytesDropped) {
    // 日本語 and 表, whose second byte is a backslash.
    EXPECT_EQ(Preview("\x93\xfa\x96\x7b\x8c\xea\x95\x5c\n"), "\x93\xfa\x96\x7b\x8c\xea\x95\x5c\n");
    EXPECT_EQ(Preview(std::string("a\0b\0\0c\0", 8)), "abc");
    EXPECT_EQ(Preview(std::string(2000, '\0') + "z"), "z");
}

TEST_F(TextPreviewTest, MissingFileGivesNothing) {
    EXPECT_EQ(ReadTextPreview(tree_.Path("missing.txt"), 300), "");
}

TEST_F(TextPreviewTest, Utf16WithByteOrderMarkIsConverted) {
    // あ\r\n日本語 with a zero unit and ± (U+00B1: its code page 932 form,
    // not the byte 0xB1, which is the half-width kana ｱ).
    EXPECT_EQ(Preview(kBom + Utf16Le(std::u16string(u"\u3042\r\n\u65e5\u672c\u8a9e\u0000\u00b1", 8))),
              "\x82\xa0\r\n\x93\xfa\x96\x7b\x8c\xea\x81\x7d");
    EXPECT_EQ(Preview(kBom + Utf16Le(u"a\nb\nc\n"), 2), "a\nb");
    EXPECT_EQ(Preview(kBom), "");
    // Only the file's first unit is the mark: after a block of zero units
    // the next block's first character stays.
    EXPECT_EQ(Preview(kBom + Utf16Le(std::u16string(511, u'\0') + u"AB")), "AB");
}

TEST_F(TextPreviewTest, Utf16UnitsWithoutShiftJisFormGiveNothing) {
    // Ā (U+0100), the euro sign and a character outside the BMP: never "?";
    // é (U+00E9) is no lead byte 0xE9 that would swallow the "e" after it.
    EXPECT_EQ(Preview(kBom + Utf16Le(u"a\u0100b\u20acc\U0001F600d\u00e9e")), "abcde");
    EXPECT_EQ(Preview(kBom + Utf16Le(u"\xd800x\xdc00y")), "xy");
}

TEST_F(TextPreviewTest, Utf16BlockEdgeFallsBetweenUnits) {
    // The BOM and 510 units fill the first block's units 0 to 510; unit 511
    // is its last, unit 512 the second block's first.
    const std::u16string head(510, u'a');
    const std::string expectedHead(510, 'a');
    EXPECT_EQ(Preview(kBom + Utf16Le(head + u"\u3042\u8868z")), expectedHead + "\x82\xa0\x95\x5c" "z");
    // A surrogate pair split by the block edge, and one inside a block.
    EXPECT_EQ(Preview(kBom + Utf16Le(head + u"\U0001F600z\U0001F600")), expectedHead + "z");
}

TEST_F(TextPreviewTest, Utf16WithoutByteOrderMarkShowsItsBytes) {
    // "ab" and あ (U+3042: bytes 0x42 0x30) byte by byte, the zeros dropped.
    EXPECT_EQ(Preview(Utf16Le(u"ab\u3042")), "abB0");
    // A mark after the first byte is no mark.
    EXPECT_EQ(Preview("x" + kBom + "y"), "x" + kBom + "y");
}

TEST_F(TextPreviewTest, EscapeSwitchesToJis) {
    const std::string kanji = "\x1b$B\x24\x22\x49\x3d\x1b(B";  // あ表
    EXPECT_EQ(Preview("a" + kanji + "\nb"), "a\x82\xa0\x95\x5c\nb");
    // The escape's line limit counts raw line feeds.
    EXPECT_EQ(Preview(kanji + "\n" + kanji + "\n" + kanji, 2), "\x82\xa0\x95\x5c\n\x82\xa0\x95\x5c");
    // ESC as the last byte of the first block, "$B" opening the second.
    const std::string pad(1023, 'p');
    EXPECT_EQ(Preview(pad + kanji + "q"), pad + "\x82\xa0\x95\x5c" "q");
    EXPECT_EQ(Preview(pad + "\x1b"), pad + "\\033");
}

TEST_F(TextPreviewTest, ReadingEndsAtTheByteCap) {
    const std::string longLine(kTextPreviewByteCap + 5000, 'x');
    EXPECT_EQ(Preview(longLine), std::string(kTextPreviewByteCap, 'x'));

    // Zeros collect nothing, yet the reading still ends at the cap.
    tree_.SparseFile("zeros.txt", 2 * kTextPreviewByteCap, "head");
    {
        std::ofstream out(NativePath(tree_.Path("zeros.txt")), std::ios::binary | std::ios::app);
        out << "tail";
    }
    EXPECT_EQ(ReadTextPreview(tree_.Path("zeros.txt"), 300), "head");

    // UTF-16: the mark and cap / 2 - 1 characters of two bytes each.
    const std::u16string characters(kTextPreviewByteCap, u'\u3042');
    const std::string preview = Preview(kBom + Utf16Le(characters));
    ASSERT_EQ(preview.size(), kTextPreviewByteCap - 2);
    EXPECT_EQ(preview.substr(preview.size() - 4), "\x82\xa0\x82\xa0");
}

}  // namespace
