// The plug-in's queries through its exports: GetPluginInfo, IsSupported and
// GetPictureInfo.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <sstream>

#include "bundled-plugin/susie_result.h"
#include "platform/kernel_handles.h"
#include "platform/wide_path.h"
#include "tests/bundled-plugin/plugin_under_test.h"
#include "tests/support/temp_tree.h"

namespace {

std::string Info(int number) {
    char buffer[200] = {};
    const int written = Plugin().getPluginInfo(number, buffer, sizeof buffer);
    EXPECT_EQ(written, static_cast<int>(std::strlen(buffer))) << number;
    return std::string(buffer, static_cast<size_t>(written));
}

// IsSupported is handed at least 2 KiB of the file's head.
int SupportedInMemory(std::string head, const char* fileName) {
    head.resize(std::max(head.size(), kSusieSupportHeadLength), '\0');
    return Plugin().isSupported(fileName, &head[0]);
}

using PluginInfoTest = PluginTest;

TEST_F(PluginInfoTest, VersionNameAndCompleteFilterPairs) {
    EXPECT_EQ(Info(0), "00IN");
    EXPECT_FALSE(Info(1).empty());
    std::set<std::string> patterns;
    int number = 2;
    for (; !Info(number).empty(); number += 2) {
        EXPECT_FALSE(Info(number + 1).empty()) << "filter " << number << " has no description";
        std::istringstream filter(Info(number));
        for (std::string pattern; std::getline(filter, pattern, ';');) {
            EXPECT_EQ(pattern.compare(0, 2, "*."), 0) << pattern;
            patterns.insert(pattern);
        }
    }
    EXPECT_GT(number, 2);
    for (const char* expected : {"*.png", "*.jpg", "*.jpeg", "*.gif"}) EXPECT_EQ(patterns.count(expected), 1u) << expected;
    EXPECT_EQ(Info(number + 1), "");
    EXPECT_EQ(Info(-1), "");
}

TEST_F(PluginInfoTest, ShortBuffersAreTerminatedWithinTheirLength) {
    for (int length = 0; length <= 6; ++length) {
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        const int written = Plugin().getPluginInfo(0, buffer, length);
        const int expected = std::max(0, std::min(4, length - 1));
        EXPECT_EQ(written, expected) << length;
        EXPECT_EQ(std::string(buffer, static_cast<size_t>(expected)), std::string("00IN", static_cast<size_t>(expected)));
        if (length > 0) {
            EXPECT_EQ(buffer[expected], '\0') << length;
        }
        for (int i = std::max(length, 0); i < 16; ++i) EXPECT_EQ(buffer[i], '#') << length << " wrote at " << i;
    }
}

TEST_F(PluginInfoTest, IsSupportedDecidesByContentInMemory) {
    const std::string png = EncodePng(PatternPicture(2, 2, false), PngColour::kRgb);
    EXPECT_NE(SupportedInMemory(png, "C:\\pictures\\no-extension"), 0);
    EXPECT_NE(SupportedInMemory(png, "C:\\pictures\\misnamed.txt"), 0);
    EXPECT_NE(SupportedInMemory(EncodeGif({PatternPicture(2, 2, false)}), "a.gif"), 0);
    EXPECT_NE(SupportedInMemory(std::string("\xff\xd8\xff\xe0\0\x10JFIF", 10), "a.jpg"), 0);
    EXPECT_EQ(SupportedInMemory(PlainText(), "C:\\pictures\\a.png"), 0);
    EXPECT_EQ(SupportedInMemory(std::string(), "C:\\pictures\\a.png"), 0);
}

// A handle is read from its position, which is left as it was.
TEST_F(PluginInfoTest, IsSupportedReadsThroughAFileHandle) {
    TempTree tree;
    tree.File("picture.png", EncodePng(PatternPicture(3, 3, true), PngColour::kRgba));
    tree.File("notes.txt", PlainText());
    for (const char* name : {"picture.png", "notes.txt"}) {
        const std::string path = tree.Path(name);
        UniqueHandle file = AdoptFileHandle(CreateFileW(WidePathFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                        nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file) << path;
        ASSERT_EQ(reinterpret_cast<uintptr_t>(file.get()) >> 16, 0u) << "a handle must fit in the low word";
        EXPECT_EQ(Plugin().isSupported(path.c_str(), file.get()) != 0, std::strcmp(name, "picture.png") == 0) << name;
        EXPECT_EQ(SetFilePointer(file.get(), 0, nullptr, FILE_CURRENT), 0u) << name;
    }
    EXPECT_EQ(Plugin().isSupported("picture.png", INVALID_HANDLE_VALUE), 0);
    EXPECT_EQ(Plugin().isSupported("picture.png", nullptr), 0);
}

TEST_F(PluginInfoTest, PictureInfoFromMemoryAndFile) {
    const std::string png = EncodePng(PatternPicture(5, 3, true), PngColour::kRgba);
    PictureInfo info;
    std::memset(&info, 0x5a, sizeof info);
    ASSERT_EQ(Plugin().getPictureInfo(png.data(), static_cast<LONG>(png.size()), kSusieInputMemory, &info), 0);
    EXPECT_EQ(info.left, 0);
    EXPECT_EQ(info.top, 0);
    EXPECT_EQ(info.width, 5);
    EXPECT_EQ(info.height, 3);
    EXPECT_EQ(info.colorDepth, 32);
    EXPECT_EQ(info.hInfo, nullptr);

    const std::string jpeg = TestPicturePath("blocks.jpg");
    ASSERT_EQ(Plugin().getPictureInfo(jpeg.c_str(), 0, kSusieInputFile, &info), 0) << jpeg;
    EXPECT_EQ(info.width, 24);
    EXPECT_EQ(info.height, 16);
    EXPECT_EQ(info.colorDepth, 24);
    ASSERT_EQ(Plugin().getPictureInfo(TestPicturePath("grey.png").c_str(), 0, kSusieInputFile, &info), 0);
    EXPECT_EQ(info.colorDepth, 8);

    const std::string text = PlainText();
    EXPECT_EQ(Plugin().getPictureInfo(text.data(), static_cast<LONG>(text.size()), kSusieInputMemory, &info),
              kSusieUnknownFormat);
    EXPECT_EQ(Plugin().getPictureInfo(png.data(), 20, kSusieInputMemory, &info), kSusieBrokenData);
    EXPECT_EQ(Plugin().getPictureInfo((jpeg + ".missing").c_str(), 0, kSusieInputFile, &info), kSusieReadError);
    EXPECT_NE(Plugin().getPictureInfo(png.data(), static_cast<LONG>(png.size()), kSusieInputMemory, nullptr), 0);
}

}  // namespace
