#include "platform/path_text.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/utf8_text.h"

namespace {

TEST(PathTextTest, CaseIsFoldedForAsciiLettersOnly) {
    EXPECT_TRUE(EqualsIgnoringCase(".TXT", ".txt"));
    EXPECT_TRUE(EqualsIgnoringCase(".Cpp", ".cPP"));
    EXPECT_TRUE(EqualsIgnoringCase("", ""));
    EXPECT_FALSE(EqualsIgnoringCase(".txt", ".tx"));
    EXPECT_FALSE(EqualsIgnoringCase(".txt", ".text"));
    // '[' and '{' are 0x20 apart like letters of two cases.
    EXPECT_FALSE(EqualsIgnoringCase("[", "{"));
    EXPECT_FALSE(EqualsIgnoringCase(".\xC3\xA9", ".\xC3\x89"));  // é and É
    // The last byte of い is 0x84, a lead byte in code page 932: a letter
    // after it still folds.
    EXPECT_TRUE(EqualsIgnoringCase("\xE3\x81\x84" "A", "\xE3\x81\x84" "a"));
}

TEST(PathExtensionTest, FromTheLastDotInTheWholePath) {
    EXPECT_EQ(PathExtension("C:\\photos\\PHOTO.BMP"), ".BMP");
    EXPECT_EQ(PathExtension("C:\\src\\archive.tar.gz"), ".gz");
    EXPECT_EQ(PathExtension("C:\\v1.2\\README"), ".2\\README");
    EXPECT_EQ(PathExtension("C:\\notes\\draft."), ".");
    EXPECT_EQ(PathExtension("C:\\notes\\README"), "");
    EXPECT_EQ(PathExtension("C:\\\xE5\x86\x99\xE7\x9C\x9F\\caf\xC3\xA9.png"), ".png");
}

TEST(Utf8TextTest, EveryUtf16NameConvertsBackExactly) {
    const std::u16string names[] = {
        u"caf\u00e9.txt", u"\ud55c\uad6d\uc5b4", u"\u7b80\u4f53\u4e2d\u6587\u8fd9", u"\U0001F600.dat",
        u"\u65e5\u672c\u8a9e", u"",
        // NTFS names may hold unpaired surrogates.
        std::u16string(1, char16_t(0xD800)) + u"x", u"y" + std::u16string(1, char16_t(0xDC00)),
        std::u16string{char16_t(0xDC00), char16_t(0xD800)},
    };
    for (const std::u16string& name : names) EXPECT_EQ(Utf16FromUtf8(Utf8FromUtf16(name)), name);
    EXPECT_EQ(Utf8FromUtf16(u"caf\u00e9"), "caf\xC3\xA9");
    EXPECT_EQ(Utf8FromUtf16(u"\U0001F600"), "\xF0\x9F\x98\x80");  // one sequence for a pair
}

TEST(Utf8TextTest, BytesThatStartNoSequenceBecomeReplacementCharacters) {
    EXPECT_EQ(Utf16FromUtf8("a\xFF" "b"), u"a\ufffd" u"b");
    EXPECT_EQ(Utf16FromUtf8("\xC3"), u"\ufffd");                     // cut short
    EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), u"\ufffd\ufffd");           // overlong '/'
    EXPECT_EQ(Utf16FromUtf8("\xF4\x90\x80\x80").size(), 4u);         // past U+10FFFF
}

}  // namespace
