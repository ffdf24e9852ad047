#include "results/results_csv.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ResultsCsvTest, QuotesOnlyFieldsThatNeedIt) {
    EXPECT_EQ(CsvField("C:\\photos\\a.jpg"), "C:\\photos\\a.jpg");
    EXPECT_EQ(CsvField("C:\\a,b.txt"), "\"C:\\a,b.txt\"");
    EXPECT_EQ(CsvField("C:\\say \"hi\".txt"), "\"C:\\say \"\"hi\"\".txt\"");
    EXPECT_EQ(CsvField("line\nbreak"), "\"line\nbreak\"");
    EXPECT_EQ(CsvField("carriage\rreturn"), "\"carriage\rreturn\"");
    EXPECT_EQ(ResultsCsvLine(7, 1234567, "C:\\x,y\\\xE8\xA1\xA8.txt", true),
              "7,1234567,\"C:\\x,y\\\xE8\xA1\xA8.txt\",1\r\n");
}

TEST(ResultsCsvTest, OneLinePerFileWithTheNumberAndSizeOfItsLabel) {
    PresentedGroup group;
    group.label = "No.12  (1,234,567 byte)";
#ifdef _WIN32
    // 表 in code page 932 (0x95 0x5C: its second byte is a backslash) comes
    // out as UTF-8.
    group.paths = {"C:\\\x95\x5c\\a.jpg", "C:\\b.jpg"};
    const std::string firstPath = "C:\\\xE8\xA1\xA8\\a.jpg";
#else
    // Native names are the file system's own UTF-8 bytes.
    group.paths = {"/\xE8\xA1\xA8/a.jpg", "/b.jpg"};
    const std::string firstPath = "/\xE8\xA1\xA8/a.jpg";
#endif
    EXPECT_EQ(ResultsCsvLines(group), "12,1234567," + firstPath + ",1\r\n12,1234567," + group.paths[1] + ",0\r\n");
    group.label = "not a group";
    EXPECT_EQ(ResultsCsvLines(group), "");
}

}  // namespace
