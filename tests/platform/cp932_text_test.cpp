#include "platform/cp932_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Code page 932 bytes of the characters whose second byte is 0x5C.
const std::string kHyou = "\x95\x5c";  // 表
const std::string kSo = "\x83\x5c";    // ソ
const std::string kNou = "\x94\x5c";   // 能
const std::string kJuu = "\x8f\x5c";   // 十
const std::string kGazou = "\x89\xe6\x91\x9c";  // 画像

TEST(Cp932TextTest, TrailBackslashIsNotASeparator) {
    EXPECT_FALSE(EndsWithBackslash("C:\\" + kGazou + kHyou));
    EXPECT_TRUE(EndsWithBackslash("C:\\" + kGazou + kHyou + "\\"));
    for (const std::string& character : {kHyou, kSo, kNou, kJuu}) {
        EXPECT_FALSE(EndsWithBackslash("C:\\x\\" + character));
        EXPECT_EQ(LastBackslashPosition("C:\\x\\" + character), 4u);
    }
}

TEST(Cp932TextTest, LastBackslashSkipsTrailBytes) {
    // C:\表\ソ.exe: the separators stand at 2 and 5, the trail bytes at 4 and 7.
    const std::string path = "C:\\" + kHyou + "\\" + kSo + ".exe";
    EXPECT_EQ(LastBackslashPosition(path), 5u);
    EXPECT_EQ(path.substr(0, LastBackslashPosition(path) + 1), "C:\\" + kHyou + "\\");
    EXPECT_EQ(LastBackslashPosition(kSo + kNou + kJuu), std::string::npos);
}

TEST(Cp932TextTest, AsciiPaths) {
    EXPECT_TRUE(EndsWithBackslash("C:\\"));
    EXPECT_TRUE(EndsWithBackslash("\\"));
    EXPECT_FALSE(EndsWithBackslash("C:\\plugins"));
    EXPECT_FALSE(EndsWithBackslash(""));
    EXPECT_EQ(LastBackslashPosition("C:\\Tovrik\\Tovrik.exe"), 9u);
    EXPECT_EQ(LastBackslashPosition("\\\\server\\share"), 8u);
    EXPECT_EQ(LastBackslashPosition("Tovrik.exe"), std::string::npos);
    EXPECT_EQ(LastBackslashPosition(""), std::string::npos);
}

TEST(Cp932TextTest, HalfWidthKanaAreSingleBytes) {
    // ｱ (0xB1) is no lead byte, so the backslash after it is a separator.
    EXPECT_TRUE(EndsWithBackslash("C:\\\xb1\\"));
    EXPECT_EQ(LastBackslashPosition("\xb1\\\xb1"), 1u);
}

TEST(Cp932TextTest, LoneLeadByteAtTheEnd) {
    // A text cut after a lead byte: the lead byte stands alone and the
    // backslash before it is still found.
    EXPECT_FALSE(EndsWithBackslash("C:\\abc\\\x95"));
    EXPECT_EQ(LastBackslashPosition("C:\\abc\\\x95"), 6u);
    EXPECT_FALSE(EndsWithBackslash("\x95"));
    EXPECT_EQ(LastBackslashPosition("\x95"), std::string::npos);
}

TEST(Cp932TextTest, LeadByteRanges) {
    for (int byte : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_TRUE(IsCp932LeadByte(static_cast<unsigned char>(byte))) << byte;
    for (int byte : {0x00, 0x5C, 0x80, 0xA0, 0xB1, 0xDF, 0xFD, 0xFF}) {
        EXPECT_FALSE(IsCp932LeadByte(static_cast<unsigned char>(byte))) << byte;
    }
}

TEST(Cp932TextTest, CaseFoldingTouchesAsciiLettersOnly) {
    EXPECT_TRUE(EqualsIgnoringCase(".TXT", ".txt"));
    EXPECT_TRUE(EqualsIgnoringCase(".Cpp", ".cPP"));
    EXPECT_TRUE(EqualsIgnoringCase("", ""));
    EXPECT_FALSE(EqualsIgnoringCase(".txt", ".tx"));
    EXPECT_FALSE(EqualsIgnoringCase(".txt", ".text"));
    // [ and { differ by the same 0x20 as letters do, but are no letters.
    EXPECT_FALSE(EqualsIgnoringCase("[", "{"));
    // ア is 0x83 0x41 and ヂ 0x83 0x61: the second bytes look like A and a.
    EXPECT_FALSE(EqualsIgnoringCase(".\x83\x41", ".\x83\x61"));
    EXPECT_TRUE(EqualsIgnoringCase(".\x83\x41" "A", ".\x83\x41" "a"));
}

TEST(PathExtensionTest, FromTheLastDotInTheWholePath) {
    EXPECT_EQ(PathExtension("C:\\photos\\PHOTO.BMP"), ".BMP");
    EXPECT_EQ(PathExtension("C:\\src\\archive.tar.gz"), ".gz");
    EXPECT_EQ(PathExtension("C:\\v1.2\\README"), ".2\\README");
    EXPECT_EQ(PathExtension("C:\\notes\\draft."), ".");
    EXPECT_EQ(PathExtension("C:\\notes\\README"), "");
    // 表 (0x95 0x5C) before the dot stays out of the extension.
    EXPECT_EQ(PathExtension("C:\\\x95\x5c.txt"), ".txt");
}

}  // namespace
