#include "shell/profile_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ProfileTextTest, ReadsAKeyOfItsSectionAsTheProfileFunctionsDo) {
    const std::string text =
        "[Other]\r\nDirectory=wrong\r\n"
        "[ plugin ]\r\n ; a note\r\n directory =  \"C:\\\x89\xe6\x91\x9c\\\"  \r\nDirectory=second\r\n"
        "[Analysis]\nMinimumSize=10";
    std::string value;
    ASSERT_TRUE(ReadProfileValue(text, "PlugIn", "Directory", value));
    EXPECT_EQ(value, "C:\\\x89\xe6\x91\x9c\\");  // 画像, quotes and blanks dropped
    ASSERT_TRUE(ReadProfileValue(text, "Analysis", "minimumsize", value));
    EXPECT_EQ(value, "10");
    EXPECT_FALSE(ReadProfileValue(text, "Analysis", "Directory", value));
    EXPECT_FALSE(ReadProfileValue("", "PlugIn", "Directory", value));
}

TEST(ProfileTextTest, WritingChangesOnlyTheKeysLine) {
    // Replaced in place, the rest byte for byte.
    EXPECT_EQ(WithProfileValue("; mine\r\n[PlugIn]\r\nDirectory=old\r\nOther=1\r\n", "PlugIn", "Directory", "new"),
              "; mine\r\n[PlugIn]\r\nDirectory=new\r\nOther=1\r\n");
    // Added at the end of its section, before the next one.
    EXPECT_EQ(WithProfileValue("[PlugIn]\r\nOther=1\r\n\r\n[Analysis]\r\nMinimumSize=5\r\n", "PlugIn", "Directory",
                               "C:\\x"),
              "[PlugIn]\r\nOther=1\r\nDirectory=C:\\x\r\n\r\n[Analysis]\r\nMinimumSize=5\r\n");
    // A missing section goes at the end; a last line without its break keeps it.
    EXPECT_EQ(WithProfileValue("[Analysis]\r\nMinimumSize=5", "PlugIn", "Directory", ""),
              "[Analysis]\r\nMinimumSize=5\r\n[PlugIn]\r\nDirectory=\r\n");
    EXPECT_EQ(WithProfileValue("", "PlugIn", "Directory", "C:\\p"), "[PlugIn]\r\nDirectory=C:\\p\r\n");
    std::string value;
    const std::string written = WithProfileValue("[PlugIn]\r\nDirectory=a", "plugin", "DIRECTORY", "b");
    ASSERT_TRUE(ReadProfileValue(written, "PlugIn", "Directory", value));
    EXPECT_EQ(value, "b");
}

}  // namespace
