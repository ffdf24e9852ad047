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

TEST(ResultsCsvTest, OneLinePerFileWithItsGroupsNumberAndSize) {
    PresentedGroup group;
    group.number = 12;
    group.size = 1234567;
    // Paths are UTF-8 inside and go into the file as they are.
    group.paths = {"C:\\\xE8\xA1\xA8\\a.jpg", "C:\\b.jpg"};
    const std::string firstPath = group.paths[0];
    EXPECT_EQ(ResultsCsvLines(group), "12,1234567," + firstPath + ",1\r\n12,1234567," + group.paths[1] + ",0\r\n");
}

}  // namespace
