// One physical file seen under several paths is never its own duplicate, and
// links never make the walk endless.
#include <gtest/gtest.h>

#include <set>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/file_identity.h"
#include "engine/folder_scan.h"
#include "engine/group_buckets.h"
#include "engine/group_list.h"
#include "tests/support/engine_reset.h"
#include "tests/support/temp_tree.h"

namespace {

std::set<std::set<std::string>> GroupPaths() {
    std::set<std::set<std::string>> groups;
    for (size_t g = 0; g < GroupCount(); ++g) {
        std::set<std::string> paths;
        for (int32_t member : GroupAt(g)) paths.insert(Record(member).path);
        groups.insert(paths);
    }
    return groups;
}

class PhysicalIdentityTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngine(); }
    void TearDown() override { ResetEngine(); }

    void ScanAndGroup() {
        ScanFolder(tree_.Root());
        GroupBuckets(0, BucketCount());
    }

    TempTree tree_;
};

TEST_F(PhysicalIdentityTest, IdentityTellsLinksFromCopies) {
    tree_.File("original", "contents");
    tree_.File("copy", "contents");
    if (!tree_.HardLink("original", "link")) GTEST_SKIP() << "hard links refused here";
    FileIdentity original, copy, link;
    ASSERT_TRUE(QueryFileIdentity(tree_.Path("original"), original));
    ASSERT_TRUE(QueryFileIdentity(tree_.Path("copy"), copy));
    ASSERT_TRUE(QueryFileIdentity(tree_.Path("link"), link));
    EXPECT_EQ(original, link);
    EXPECT_NE(original, copy);
    EXPECT_FALSE(QueryFileIdentity(tree_.Path("missing"), copy));
}

TEST_F(PhysicalIdentityTest, HardLinkIsNotADuplicateButARealCopyIs) {
    tree_.File("a/original", "shared contents");
    if (!tree_.HardLink("a/original", "b/link-to-original")) GTEST_SKIP() << "hard links refused here";
    ScanAndGroup();
    ASSERT_EQ(RecordCount(), 2u);
    EXPECT_EQ(GroupCount(), 0u);
    EXPECT_EQ(g_analysis.processed.load(), 2u);

    ResetEngine();
    tree_.File("c/copy", "shared contents");
    ScanAndGroup();
    ASSERT_EQ(RecordCount(), 3u);
    ASSERT_EQ(GroupCount(), 1u);
    // The copy pairs with exactly one of the two names of the original.
    std::set<std::string> group = *GroupPaths().begin();
    EXPECT_EQ(group.size(), 2u);
    EXPECT_EQ(group.count(tree_.Path("c/copy")), 1u);
    EXPECT_EQ(g_analysis.processed.load(), 3u);
}

TEST_F(PhysicalIdentityTest, FolderLinkToASiblingIsWalkedWithoutSelfDuplicates) {
    tree_.File("real/one", "first file");
    tree_.File("real/two", "second file");
    tree_.File("elsewhere/copy-of-one", "first file");
    if (!tree_.FolderLink("real", "alias")) GTEST_SKIP() << "folder links refused here";
    ScanAndGroup();
    std::set<std::string> catalogued;
    for (size_t i = 0; i < RecordCount(); ++i) catalogued.insert(Record(i).path);
    EXPECT_EQ(catalogued.count(tree_.Path("alias/one")), 1u);
    EXPECT_EQ(catalogued.count(tree_.Path("real/one")), 1u);
    // "one" is seen twice and has one real copy: one group of two, holding the copy.
    ASSERT_EQ(GroupCount(), 1u);
    std::set<std::string> group = *GroupPaths().begin();
    EXPECT_EQ(group.size(), 2u);
    EXPECT_EQ(group.count(tree_.Path("elsewhere/copy-of-one")), 1u);
}

TEST_F(PhysicalIdentityTest, LinkToAnAncestorEndsTheWalk) {
    tree_.File("top/file", "x");
    tree_.File("top/mid/file2", "y");
    if (!tree_.FolderLink("top", "top/mid/back-to-top")) GTEST_SKIP() << "folder links refused here";
    if (!tree_.FolderLink("", "top/mid/back-to-root")) GTEST_SKIP() << "folder links refused here";
    ScanFolder(tree_.Root());
    std::set<std::string> catalogued;
    for (size_t i = 0; i < RecordCount(); ++i) catalogued.insert(Record(i).path);
    EXPECT_EQ(catalogued, (std::set<std::string>{tree_.Path("top/file"), tree_.Path("top/mid/file2")}));
}

}  // namespace
