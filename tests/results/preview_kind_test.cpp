#include "results/preview_kind.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/path_text.h"

namespace {

PreviewKind KindOf(const std::string& path) { return ChoosePreviewKind(PathExtension(path)); }

TEST(PreviewKindTest, ExtensionsChooseTheLoaderInAnyCase) {
    EXPECT_EQ(KindOf("C:\\pictures\\PHOTO.BMP"), PreviewKind::kBitmap);
    EXPECT_EQ(KindOf("C:\\pictures\\photo.bmp"), PreviewKind::kBitmap);
    EXPECT_EQ(KindOf("C:\\pictures\\Icon.ICO"), PreviewKind::kIcon);
    EXPECT_EQ(KindOf("C:\\pictures\\arrow.Cur"), PreviewKind::kCursor);
    EXPECT_EQ(KindOf("C:\\docs\\README.TXT"), PreviewKind::kText);
    EXPECT_EQ(KindOf("C:\\src\\main.CPP"), PreviewKind::kText);
    EXPECT_EQ(KindOf("C:\\src\\Main.java"), PreviewKind::kText);
}

TEST(PreviewKindTest, EverythingElseGoesToThePlugins) {
    EXPECT_EQ(KindOf("C:\\pictures\\photo.jpg"), PreviewKind::kPlugin);
    EXPECT_EQ(KindOf("C:\\src\\main.hpp"), PreviewKind::kPlugin);
    EXPECT_EQ(KindOf("C:\\pictures\\photo.bmp.bak"), PreviewKind::kPlugin);
    EXPECT_EQ(KindOf("C:\\notes\\README"), PreviewKind::kPlugin);
    EXPECT_EQ(KindOf("C:\\notes\\draft."), PreviewKind::kPlugin);
}

TEST(PreviewKindTest, DotInAFolderNameGivesNoLoader) {
    // The only dot is in "pictures.bmp", so the extension is ".bmp\photo".
    EXPECT_EQ(KindOf("C:\\pictures.bmp\\photo"), PreviewKind::kPlugin);
    EXPECT_EQ(KindOf("C:\\docs.txt\\README"), PreviewKind::kPlugin);
}

}  // namespace
