// One physical file seen under several paths is never its own duplicate, and
// links never make the walk endless.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/file_identity.h"
#ifdef _WIN32
#include "engine/file_information_win32.h"
#endif
#include "engine/folder_listing.h"
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
        for (int32_t member : GroupAt(g)) paths.insert(RecordPath(member));
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

#ifdef _WIN32
// Where the system gives the 128-bit file ID and the 64-bit volume serial,
// they are the identity: ReFS promises no unique 64-bit file index.
TEST_F(PhysicalIdentityTest, IdentityIsTheFullFileIdWhereTheSystemGivesIt) {
    tree_.File("file", "contents");
    UniqueHandle handle = OpenForQuery(NativePath(tree_.Path("file")).wstring());
    FileIdRecord id;
    ASSERT_TRUE(handle);
    if (!GetFileInformationByHandleEx(handle.get(), kFileIdInfo, &id, sizeof id)) GTEST_SKIP() << "no file IDs here";
    FileIdentity identity;
    ASSERT_TRUE(QueryFileIdentity(tree_.Path("file"), identity));
    FileIdentity expected{id.volumeSerialNumber, 0, 0};
    memcpy(&expected.index, id.fileId, 8);
    memcpy(&expected.indexHigh, id.fileId + 8, 8);
    EXPECT_EQ(identity, expected);
}
#endif

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

    // Both files seen twice: still one group, not a second one of the same
    // two files under their other names.
    ResetEngine();
    ASSERT_TRUE(tree_.HardLink("c/copy", "d/link-to-copy"));
    ScanAndGroup();
    ASSERT_EQ(RecordCount(), 4u);
    ASSERT_EQ(GroupCount(), 1u);
    EXPECT_EQ(GroupAt(0).size(), 2u);
    EXPECT_EQ(g_analysis.processed.load(), 4u);
}

// Trees with symbolic links, made by the host before the tests (see
// make_link_fixture.sh); under Wine they look like plain folders, so only
// the folders' identities can tell the walk where it has been.
std::string LinkFixture(const std::string& relative) {
    const char* root = std::getenv("TOVRIK_LINK_FIXTURE");
    if (!root) return std::string();
    std::string path = root;
    path.push_back(kPathSeparator);
    for (char c : relative) path.push_back(c == '/' ? kPathSeparator : c);
    return path;
}

std::set<std::string> CataloguedPaths() {
    std::set<std::string> paths;
    for (size_t i = 0; i < RecordCount(); ++i) paths.insert(RecordPath(i));
    return paths;
}

TEST_F(PhysicalIdentityTest, FolderLinkToASiblingIsWalkedWithoutSelfDuplicates) {
    const std::string root = LinkFixture("sibling");
    if (root.empty()) GTEST_SKIP() << "run through CTest, which makes the link fixture";
    ScanFolder(root);
    GroupBuckets(0, BucketCount());
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(CataloguedPaths(), (std::set<std::string>{root + sep + "alias" + sep + "one", root + sep + "alias" + sep + "two",
                                                        root + sep + "real" + sep + "one", root + sep + "real" + sep + "two",
                                                        root + sep + "elsewhere" + sep + "copy-of-one"}));
    // "one" is seen twice and has one real copy: one group of two, holding the copy.
    ASSERT_EQ(GroupCount(), 1u);
    std::set<std::string> group = *GroupPaths().begin();
    EXPECT_EQ(group.size(), 2u);
    EXPECT_EQ(group.count(root + sep + "elsewhere" + sep + "copy-of-one"), 1u);
    EXPECT_EQ(g_analysis.processed.load(), 5u);
}

// A user who recycles "the copy" in each of several groups must never reach
// the last copy: each physical file appears in one group at most, once.
TEST_F(PhysicalIdentityTest, FolderReachedThroughTwoLinksShowsItsPairOnce) {
    const std::string root = LinkFixture("twolinks");
    if (root.empty()) GTEST_SKIP() << "run through CTest, which makes the link fixture";
    ScanFolder(root);
    GroupBuckets(0, BucketCount());
    ASSERT_EQ(RecordCount(), 6u);
    ASSERT_EQ(GroupCount(), 1u);
    const DuplicateGroup group = GroupAt(0);
    ASSERT_EQ(group.size(), 2u);
    FileIdentity first, second;
    ASSERT_TRUE(QueryFileIdentity(RecordPath(group[0]), first));
    ASSERT_TRUE(QueryFileIdentity(RecordPath(group[1]), second));
    EXPECT_NE(first, second);
    // The paths left out count as handled, so the progress reaches its end.
    EXPECT_EQ(g_analysis.processed.load(), 6u);
}

TEST_F(PhysicalIdentityTest, LinksToAnAncestorOrTheScanRootEndTheWalk) {
    const std::string root = LinkFixture("cycle");
    if (root.empty()) GTEST_SKIP() << "run through CTest, which makes the link fixture";
    ScanFolder(root);
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(CataloguedPaths(),
              (std::set<std::string>{root + sep + "top" + sep + "file", root + sep + "top" + sep + "mid" + sep + "file2"}));
}

TEST_F(PhysicalIdentityTest, HostMadeHardLinkIsNotADuplicate) {
    const std::string root = LinkFixture("hardlink");
    if (root.empty()) GTEST_SKIP() << "run through CTest, which makes the link fixture";
    ScanFolder(root);
    GroupBuckets(0, BucketCount());
    ASSERT_EQ(RecordCount(), 3u);
    ASSERT_EQ(GroupCount(), 1u);
    std::set<std::string> group = *GroupPaths().begin();
    EXPECT_EQ(group.size(), 2u);
    EXPECT_EQ(group.count(root + kPathSeparator + "c" + kPathSeparator + "copy"), 1u);
}

}  // namespace
