#include "plugins/plugin_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Extensions = std::vector<std::string>;

TEST(PluginFilterTest, EachPatternGivesItsExtension) {
    EXPECT_EQ(ParseFilterExtensions("*.jpg;*.jpeg"), (Extensions{"jpg", "jpeg"}));
    EXPECT_EQ(ParseFilterExtensions("*.png"), (Extensions{"png"}));
    EXPECT_EQ(ParseFilterExtensions("*.jpg;*.jpe;*.jpeg;*.jfif"), (Extensions{"jpg", "jpe", "jpeg", "jfif"}));
}

TEST(PluginFilterTest, FurtherDotsGiveEveryTail) {
    EXPECT_EQ(ParseFilterExtensions("*.tar.gz"), (Extensions{"tar.gz", "gz"}));
    EXPECT_EQ(ParseFilterExtensions("*.tar.gz;*.tgz"), (Extensions{"tar.gz", "gz", "tgz"}));
}

TEST(PluginFilterTest, WildcardExtensionIsKept) {
    EXPECT_EQ(ParseFilterExtensions("*.*"), (Extensions{"*"}));
}

TEST(PluginFilterTest, TextWithoutDotDeclaresNothing) {
    EXPECT_TRUE(ParseFilterExtensions("").empty());
    EXPECT_TRUE(ParseFilterExtensions("JPEG files").empty());
    EXPECT_TRUE(ParseFilterExtensions("*;*").empty());
}

TEST(PluginFilterTest, LetterCaseIsKept) {
    EXPECT_EQ(ParseFilterExtensions("*.JPG;*.Png"), (Extensions{"JPG", "Png"}));
}

TEST(PluginFilterTest, WhatStandsBeforeADotIsNeverRead) {
    EXPECT_EQ(ParseFilterExtensions("x.bmp;y.dib"), (Extensions{"bmp", "dib"}));
    EXPECT_EQ(ParseFilterExtensions("*.gif; *.tif"), (Extensions{"gif", "tif"}));
    // A pattern without a dot between two with one contributes nothing.
    EXPECT_EQ(ParseFilterExtensions("*.a;*;*.b"), (Extensions{"a", "b"}));
}

TEST(PluginFilterTest, DotBeforeSemicolonOrAtTheEndDeclaresTheEmptyExtension) {
    EXPECT_EQ(ParseFilterExtensions("*.;*.pic"), (Extensions{"", "pic"}));
    EXPECT_EQ(ParseFilterExtensions("*.mag;"), (Extensions{"mag"}));
    EXPECT_EQ(ParseFilterExtensions("*."), (Extensions{""}));
}

TEST(PluginFilterTest, TextEndsAtItsFirstZeroByte) {
    EXPECT_EQ(ParseFilterExtensions(std::string("*.pi\0*.mki", 10)), (Extensions{"pi"}));
}

TEST(PluginFilterTest, ShiftJisExtensionsStayWhole) {
    // 画像 as an extension: neither byte pair contains "." or ";".
    EXPECT_EQ(ParseFilterExtensions("*.\x89\xe6\x91\x9c;*.q"), (Extensions{"\x89\xe6\x91\x9c", "q"}));
}

}  // namespace
