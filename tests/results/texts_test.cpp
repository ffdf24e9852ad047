// The texts must reach the program as code page 932 bytes, whatever the
// source file's encoding.
#include "resources/texts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextsTest, TextsAreShiftJis) {
    // 同一ファイル検索ソフト: ソ ends in the byte 0x5C, the backslash.
    EXPECT_EQ(std::string(kTextApplicationTitle),
              "\x93\xaf\x88\xea\x83\x74\x83\x40\x83\x43\x83\x8b\x8c\x9f\x8d\xf5\x83\x5c\x83\x74\x83\x67");
    EXPECT_EQ(std::string(kTextConfirmation), "\x8a\x6d\x94\x46");         // 確認
    EXPECT_EQ(std::string(kTextProcessingFinished), "\x8f\x88\x97\x9d\x8f\x49\x97\xb9");  // 処理終了
    // 検索を中止してもよろしいですか？ ends in the full-width question mark.
    std::string confirm = kTextConfirmStopSearch;
    EXPECT_EQ(confirm.substr(confirm.size() - 2), "\x81\x48");
}

}  // namespace
