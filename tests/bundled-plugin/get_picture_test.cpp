// GetPicture through the export: the bitmaps it hands over, compared pixel
// by pixel with pictures built in the test, and its error codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "bundled-plugin/susie_result.h"
#include "platform/wide_text.h"
#include "tests/bundled-plugin/plugin_under_test.h"
#include "tests/support/temp_tree.h"

namespace {

using GetPictureTest = PluginTest;

size_t Stride(const BITMAPINFOHEADER& header) { return (static_cast<size_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4; }

void ExpectBottomUpDib(const ReceivedPicture& picture, int width, int height, int bitsPerPixel) {
    ASSERT_EQ(picture.result, kSusieSuccess);
    ASSERT_TRUE(picture.info && picture.bits);
    ASSERT_GE(LocalSize(picture.info.get()), sizeof(BITMAPINFOHEADER));
    const BITMAPINFOHEADER& header = picture.Header();
    EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(header.biWidth, width);
    EXPECT_EQ(header.biHeight, height);  // positive: bottom-up
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, bitsPerPixel);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_GE(LocalSize(picture.bits.get()), Stride(header) * static_cast<size_t>(height));
}

void ExpectNothingHandedOver(const ReceivedPicture& picture, int expectedResult) {
    EXPECT_EQ(picture.result, expectedResult);
    EXPECT_FALSE(picture.info);
    EXPECT_FALSE(picture.bits);
}

TEST_F(GetPictureTest, OpaquePngIs24BitWithPaddedRows) {
    for (int width : {1, 2, 3, 4, 5}) {
        const TestPicture picture = PatternPicture(width, 3, false);
        const ReceivedPicture received = PictureFromMemory(EncodePng(picture, PngColour::kRgb));
        ExpectBottomUpDib(received, width, 3, 24);
        EXPECT_EQ(received.Pixels().pixels, picture.pixels) << width;
    }
    // Grey is widened to three equal channels.
    TestPicture grey = PatternPicture(3, 2, false);
    const ReceivedPicture received = PictureFromMemory(EncodePng(grey, PngColour::kGrey));
    ExpectBottomUpDib(received, 3, 2, 24);
    for (Rgba& pixel : grey.pixels) pixel = Rgba{pixel.r, pixel.r, pixel.r, 255};
    EXPECT_EQ(received.Pixels().pixels, grey.pixels);
}

TEST_F(GetPictureTest, PngWithAlphaIs32BitWithStraightAlpha) {
    const TestPicture picture = PatternPicture(5, 4, true);
    const ReceivedPicture received = PictureFromMemory(EncodePng(picture, PngColour::kRgba));
    ExpectBottomUpDib(received, 5, 4, 32);
    EXPECT_EQ(received.Pixels().pixels, picture.pixels);
    // A colour key makes transparency without an alpha channel; an alpha
    // channel that is opaque throughout makes none.
    TestPicture keyed = PatternPicture(4, 2, false);
    keyed.pixels[5] = Rgba{1, 2, 3, 0};
    const ReceivedPicture keyedReceived = PictureFromMemory(EncodePng(keyed, PngColour::kRgbColourKey));
    ExpectBottomUpDib(keyedReceived, 4, 2, 32);
    EXPECT_EQ(keyedReceived.Pixels().pixels[5].a, 0);
    EXPECT_EQ(keyedReceived.Pixels().pixels[4], keyed.pixels[4]);
    ExpectBottomUpDib(PictureFromMemory(EncodePng(PatternPicture(4, 2, false), PngColour::kRgba)), 4, 2, 24);
}

TEST_F(GetPictureTest, GifGivesItsFirstFrameAndItsTransparency) {
    TestPicture first = PatternPicture(6, 4, false);
    first.pixels[7].a = 0;
    TestPicture second = PatternPicture(6, 4, false);
    for (Rgba& pixel : second.pixels) pixel = Rgba{9, 9, 9, 255};
    const ReceivedPicture received = PictureFromMemory(EncodeGif({first, second}));
    ExpectBottomUpDib(received, 6, 4, 32);
    const TestPicture decoded = received.Pixels();
    for (size_t i = 0; i < first.pixels.size(); ++i) {
        if (first.pixels[i].a == 0) {
            EXPECT_EQ(decoded.pixels[i].a, 0) << i;
        } else {
            EXPECT_EQ(decoded.pixels[i], first.pixels[i]) << i;
        }
    }
    // Without a transparent pixel the GIF comes as 24 bits.
    ExpectBottomUpDib(PictureFromMemory(EncodeGif({second})), 6, 4, 24);
}

// The pixels of a test picture as ImageMagick decodes them.
TestPicture ReferencePixels(const std::string& name, int width, int height) {
    const std::string rgba = ReadTestPicture(name + ".rgba");
    TestPicture picture{width, height, {}};
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        picture.pixels.push_back(Rgba{static_cast<uint8_t>(rgba[i]), static_cast<uint8_t>(rgba[i + 1]),
                                      static_cast<uint8_t>(rgba[i + 2]), static_cast<uint8_t>(rgba[i + 3])});
    }
    return picture;
}

bool RunningUnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Each picture comes out exactly as another decoder (ImageMagick's) reads
// it: the lossless formats in every variety, and JPEGs of flat 8 x 8 blocks
// without subsampling, whose pixels the format itself pins down.
TEST_F(GetPictureTest, EachFormatDecodesPixelForPixel) {
    const struct {
        const char* name;
        int width, height;
        bool alpha;
    } pictures[] = {
        {"rgb.png", 37, 23, false},        {"alpha.png", 37, 23, true},     {"deep.png", 37, 23, false},
        {"palette.png", 37, 23, false},    {"grey.png", 37, 23, false},     {"palette.gif", 37, 23, false},
        {"rgb.bmp", 37, 23, false},        {"palette.bmp", 37, 23, false},  {"plain.tif", 37, 23, false},
        {"lzw.tif", 37, 23, false},        {"alpha-zip.tif", 37, 23, true}, {"icon.ico", 32, 32, false},
        {"alpha-icon.ico", 32, 32, true},  {"blocks.jpg", 24, 16, false},   {"blocks-progressive.jpg", 24, 16, false},
        {"blocks-grey.jpg", 24, 16, false},
    };
    for (const auto& picture : pictures) {
        SCOPED_TRACE(picture.name);
        const ReceivedPicture received = PictureFromFile(TestPicturePath(picture.name));
        ExpectBottomUpDib(received, picture.width, picture.height, picture.alpha ? 32 : 24);
        if (HasFatalFailure()) return;
        EXPECT_EQ(received.Pixels().pixels, ReferencePixels(picture.name, picture.width, picture.height).pixels);
    }
}

// Decoders may differ on a photograph's JPEG: rounding in the inverse
// transform, and the filter that upsamples 4:2:0 chroma.
TEST_F(GetPictureTest, PhotographicJpegDecodesAsTheReferenceDecoderDoes) {
    if (RunningUnderWine()) {
        GTEST_SKIP() << "Wine's WIC JPEG decoder (IJG libjpeg) differs from libjpeg-turbo's decode of this "
                        "4:2:0 JPEG by up to 19 levels in 781 of its 851 pixels (chroma upsampling); a 4:4:4 "
                        "photograph differs by 1 level in 1 sample";
    }
    const ReceivedPicture received = PictureFromFile(TestPicturePath("photo.jpg"));
    ExpectBottomUpDib(received, 37, 23, 24);
    EXPECT_EQ(received.Pixels().pixels, ReferencePixels("photo.jpg", 37, 23).pixels);
}

// Inputs that broke the decoders this plug-in used before.
TEST_F(GetPictureTest, HostileInputsGiveAnErrorCodeOrACorrectPicture) {
    // A 16-bit PGM: no codec of the system reads PGM.
    ExpectNothingHandedOver(PictureFromFile(TestPicturePath("hostile-deep.pgm")), kSusieUnknownFormat);
    // Huffman counts adding up to more than a table holds.
    ExpectNothingHandedOver(PictureFromFile(TestPicturePath("hostile-huffman.jpg")), kSusieBrokenData);
    // 600 MB of rows in 583 KB: refused from its header.
    ExpectNothingHandedOver(PictureFromFile(TestPicturePath("hostile-inflating.png")), kSusieOutOfMemory);
    // 37 bytes declaring 8192 x 8192, exactly the pixel limit, with almost
    // no pixel data.
    const ReceivedPicture canvas = PictureFromFile(TestPicturePath("hostile-canvas.gif"));
    if (canvas.result == kSusieSuccess) {
        ExpectBottomUpDib(canvas, 8192, 8192, canvas.Header().biBitCount);
    } else {
        ExpectNothingHandedOver(canvas, kSusieBrokenData);
    }
}

TEST_F(GetPictureTest, FileInputStartsAtTheOffset) {
    TempTree tree;
    const TestPicture picture = PatternPicture(4, 4, true);
    const std::string leading = "MacBinary-like header of 37 bytes...\n";
    tree.File("wrapped.png", leading + EncodePng(picture, PngColour::kRgba));
    const std::string path = tree.Path("wrapped.png");

    const ReceivedPicture received = PictureFromFile(path, static_cast<LONG>(leading.size()));
    ExpectBottomUpDib(received, 4, 4, 32);
    EXPECT_EQ(received.Pixels().pixels, picture.pixels);
    ExpectNothingHandedOver(PictureFromFile(path, 0), kSusieUnknownFormat);
    ExpectNothingHandedOver(PictureFromFile(path, 1 << 20), kSusieReadError);
    ExpectNothingHandedOver(PictureFromFile(path, -1), kSusieReadError);
}

// Narrow code page 932 names, past the classic path limit, are opened whole.
TEST_F(GetPictureTest, JapaneseNameOnALongPathIsOpened) {
    TempTree tree;
    std::string relative;
    for (int level = 0; level < 10; ++level) relative += std::string(30, static_cast<char>('a' + level)) + "/";
    relative += "\xE7\x94\xBB\xE5\x83\x8F\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.png";  // "画像テスト.png"
    const TestPicture picture = PatternPicture(3, 2, false);
    tree.File(relative, EncodePng(picture, PngColour::kRgb));
    ASSERT_GT(tree.Path(relative).size(), static_cast<size_t>(MAX_PATH));

    // The plug-in interface is narrow: the host hands over code page 932.
    std::string narrow;
    ASSERT_TRUE(Cp932FromWideExactly(WideFromUtf8(tree.Path(relative)), narrow));
    const ReceivedPicture received = PictureFromFile(narrow);
    ExpectBottomUpDib(received, 3, 2, 24);
    EXPECT_EQ(received.Pixels().pixels, picture.pixels);
}

TEST_F(GetPictureTest, BrokenOrForeignInputIsAnErrorCodeWithNothingToFree) {
    TempTree tree;
    const std::string png = EncodePng(PatternPicture(8, 8, false), PngColour::kRgb);
    tree.File("truncated.png", png.substr(0, png.size() / 2));
    tree.File("notes.png", PlainText());
    tree.File("empty.png", "");
    ExpectNothingHandedOver(PictureFromFile(tree.Path("truncated.png")), kSusieBrokenData);
    ExpectNothingHandedOver(PictureFromFile(tree.Path("notes.png")), kSusieUnknownFormat);
    ExpectNothingHandedOver(PictureFromFile(tree.Path("empty.png")), kSusieUnknownFormat);
    ExpectNothingHandedOver(PictureFromFile(tree.Path("missing.png")), kSusieReadError);
    ExpectNothingHandedOver(PictureFromMemory(std::string()), kSusieUnknownFormat);
    ExpectNothingHandedOver(PictureFromMemory(png.substr(0, 40)), kSusieBrokenData);
    ExpectNothingHandedOver(PictureFromMemory(PngHeaderOnly(16384, 16384)), kSusieOutOfMemory);

    HLOCAL info = nullptr;
    EXPECT_NE(Plugin().getPicture(png.data(), static_cast<LONG>(png.size()), kSusieInputMemory, &info, nullptr,
                                  nullptr, 0), 0);
    EXPECT_NE(Plugin().getPicture(nullptr, 0, kSusieInputFile, &info, &info, nullptr, 0), 0);
    EXPECT_EQ(info, nullptr);
}

// Tovrik locks the blocks with GlobalLock before it frees them with LocalFree.
TEST_F(GetPictureTest, BlocksLockLikeAHostsAndFreeWithLocalFree) {
    ReceivedPicture received = PictureFromMemory(EncodePng(PatternPicture(2, 2, false), PngColour::kRgb));
    ExpectBottomUpDib(received, 2, 2, 24);
    for (UniqueLocalBlock* block : {&received.info, &received.bits}) {
        void* locked = GlobalLock(block->get());
        ASSERT_NE(locked, nullptr);
        EXPECT_EQ(locked, LocalLock(block->get()));
        GlobalUnlock(block->get());
        LocalUnlock(block->get());
        EXPECT_EQ(LocalFree(block->release()), nullptr);
    }
}

struct ProgressLog {
    std::vector<int> done;
    int stopAt = 1000;  // a percentage from which the callback asks to stop
    bool wrongTotalOrData = false;
};
ProgressLog* g_progressLog = nullptr;
constexpr LONG kProgressData = 0x1234567;

int __stdcall RecordProgress(int done, int total, LONG data) {
    g_progressLog->done.push_back(done);
    if (total != 100 || data != kProgressData) g_progressLog->wrongTotalOrData = true;
    return done >= g_progressLog->stopAt ? 1 : 0;
}

TEST_F(GetPictureTest, ProgressRunsToAHundredAndStopsWhenAsked) {
    const std::string png = EncodePng(PatternPicture(7, 120, false), PngColour::kRgb);
    for (int stopAt : {1000, 0, 60, 100}) {
        ProgressLog log;
        log.stopAt = stopAt;
        g_progressLog = &log;
        const ReceivedPicture received = PictureFromMemory(png, RecordProgress, kProgressData);
        g_progressLog = nullptr;
        EXPECT_FALSE(log.wrongTotalOrData);
        ASSERT_FALSE(log.done.empty());
        EXPECT_EQ(log.done.front(), 0);
        EXPECT_TRUE(std::is_sorted(log.done.begin(), log.done.end()));
        if (stopAt > 100) {
            ExpectBottomUpDib(received, 7, 120, 24);
            EXPECT_EQ(log.done.back(), 100);
            EXPECT_GT(log.done.size(), 10u);
        } else {
            ExpectNothingHandedOver(received, kSusieStoppedByCallback);
            EXPECT_GE(log.done.back(), stopAt);
            EXPECT_EQ(std::count_if(log.done.begin(), log.done.end(), [stopAt](int d) { return d >= stopAt; }), 1)
                << "went on after being asked to stop at " << stopAt;
        }
    }
}

}  // namespace
