#include "results/details_text.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#ifdef _WIN32
#include <sys/utime.h>
#else
#include <utime.h>
#endif

#include "results/file_status.h"
#include "tests/support/temp_tree.h"

namespace {

// 更新日時＝2009年10月 9日  6時43分56秒\n
const std::string kTimeLine =
    "\x8d\x58\x90\x56\x93\xfa\x8e\x9e\x81\x81\x32\x30\x30\x39\x94\x4e\x31\x30\x8c\x8e\x20\x39\x93\xfa\x20\x20\x36"
    "\x8e\x9e\x34\x33\x95\xaa\x35\x36\x95\x62\n";
// ファイルサイズ＝
const std::string kSizeLabel = "\x83\x74\x83\x40\x83\x43\x83\x8b\x83\x54\x83\x43\x83\x59\x81\x81";

FileStatus StatusAt(int64_t length) {
    FileStatus status;
    status.length = length;
    status.year = 2009;
    status.month = 10;
    status.day = 9;
    status.hour = 6;
    status.minute = 43;
    status.second = 56;
    return status;
}

TEST(DetailsTextTest, TimeLineThenSizeLine) {
    EXPECT_EQ(BuildDetailsText(StatusAt(1234567), std::nullopt), kTimeLine + kSizeLabel + "1,234,567");
    EXPECT_EQ(BuildDetailsText(StatusAt(0), std::nullopt), kTimeLine + kSizeLabel + "0");
}

TEST(DetailsTextTest, TwoDigitFieldsPadWithBlanks) {
    FileStatus status = StatusAt(5);
    status.year = 987;
    status.month = 1;
    status.day = 31;
    status.hour = 23;
    status.minute = 0;
    status.second = 5;
    // 0987年 1月31日 23時 0分 5秒
    EXPECT_EQ(BuildDetailsText(status, std::nullopt),
              "\x8d\x58\x90\x56\x93\xfa\x8e\x9e\x81\x81"
              "0987\x94\x4e 1\x8c\x8e" "31\x93\xfa 23\x8e\x9e 0\x95\xaa 5\x95\x62\n" +
                  kSizeLabel + "5");
}

TEST(DetailsTextTest, LengthsPastThirtyTwoBitsShowTruly) {
    EXPECT_EQ(BuildDetailsText(StatusAt(2147483648LL), std::nullopt), kTimeLine + kSizeLabel + "2,147,483,648");
    EXPECT_EQ(BuildDetailsText(StatusAt(5368709120LL), std::nullopt), kTimeLine + kSizeLabel + "5,368,709,120");
}

TEST(DetailsTextTest, PictureSizeHeightFirst) {
    // \n画像サイズ　縦=480  横=640, with the full-width blank 0x81 0x40.
    EXPECT_EQ(BuildDetailsText(StatusAt(1024), PictureSize{640, 480}),
              kTimeLine + kSizeLabel + "1,024" +
                  "\n\x89\xe6\x91\x9c\x83\x54\x83\x43\x83\x59\x81\x40\x8f\x63=480  \x89\xa1=640");
}

// Sets the file's last-write time to the status's local time fields, through
// the C runtime's own idea of local time.
bool SetLocalWriteTime(const std::string& path, const FileStatus& when) {
    std::tm fields{};
    fields.tm_year = when.year - 1900;
    fields.tm_mon = when.month - 1;
    fields.tm_mday = when.day;
    fields.tm_hour = when.hour;
    fields.tm_min = when.minute;
    fields.tm_sec = when.second;
    fields.tm_isdst = -1;
    const std::time_t time = std::mktime(&fields);
#ifdef _WIN32
    struct _utimbuf times = {time, time};
    return _wutime(NativePath(path).c_str(), &times) == 0;
#else
    struct utimbuf times = {time, time};
    return utime(path.c_str(), &times) == 0;
#endif
}

TEST(FileStatusTest, ReadsLengthAndLocalTime) {
    TempTree tree;
    tree.File("file.bin", "12345");
    FileStatus winter = StatusAt(5);
    winter.year = 2010;
    winter.month = 1;
    winter.day = 15;
    winter.hour = 23;
    // A summer and a winter date, so that where the zone has daylight
    // saving each is read in the offset of its own season.
    for (const FileStatus& when : {StatusAt(5), winter}) {
        ASSERT_TRUE(SetLocalWriteTime(tree.Path("file.bin"), when));
        FileStatus status;
        ASSERT_TRUE(ReadFileStatus(tree.Path("file.bin"), status));
        EXPECT_EQ(status.length, 5);
        EXPECT_EQ(BuildDetailsText(status, std::nullopt), BuildDetailsText(when, std::nullopt));
    }
}

TEST(FileStatusTest, LengthPastFourGibibytes) {
    TempTree tree;
    tree.SparseFile("big.bin", 5368709120LL, "head");
    FileStatus status;
    ASSERT_TRUE(ReadFileStatus(tree.Path("big.bin"), status));
    EXPECT_EQ(status.length, 5368709120LL);
}

TEST(FileStatusTest, MissingFileIsNotFound) {
    TempTree tree;
    FileStatus status;
    EXPECT_FALSE(ReadFileStatus(tree.Path("gone.txt"), status));
    EXPECT_FALSE(ReadFileStatus(tree.Path("no-folder/gone.txt"), status));
}

}  // namespace
