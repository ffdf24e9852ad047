#include "engine/folder_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/folder_listing.h"
#include "engine/input_file.h"
#include "engine/listed_entry.h"
#include "tests/support/engine_reset.h"
#include "tests/support/temp_tree.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/wide_path.h"
#endif

namespace {

class FolderScanTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngine(); }
    void TearDown() override { ResetEngine(); }

    static std::set<std::string> CataloguedPaths() {
        std::set<std::string> paths;
        for (size_t i = 0; i < RecordCount(); ++i) paths.insert(RecordPath(i));
        return paths;
    }

    static size_t IndexOf(const std::string& path) {
        for (size_t i = 0; i < RecordCount(); ++i) {
            if (RecordPath(i) == path) return i;
        }
        return RecordCount();
    }
};

TEST_F(FolderScanTest, MissingOrEmptyFolderGivesEmptyCatalogue) {
    TempTree tree;
    ScanFolder(tree.Path("does-not-exist"));
    EXPECT_EQ(RecordCount(), 0u);
    tree.Folder("empty/inner");
    ScanFolder(tree.Path("empty"));
    EXPECT_EQ(RecordCount(), 0u);
    EXPECT_EQ(BucketCount(), 0u);
}

TEST_F(FolderScanTest, CataloguesFilesWithSizesAndSkipsDotNames) {
    TempTree tree;
    tree.File("a.txt", "hello");
    tree.File("empty.bin", "");
    tree.File("sub/deeper/b.txt", "world!");
    tree.File(".hidden-file", "x");
    tree.File(".git/config", "y");
    tree.File("sub/.cache/z", "z");
    ScanFolder(tree.Root());

    std::set<std::string> expected = {tree.Path("a.txt"), tree.Path("empty.bin"), tree.Path("sub/deeper/b.txt")};
    EXPECT_EQ(CataloguedPaths(), expected);
    EXPECT_EQ(Record(IndexOf(tree.Path("a.txt"))).size, 5);
    EXPECT_EQ(Record(IndexOf(tree.Path("empty.bin"))).size, 0);
    EXPECT_EQ(Record(IndexOf(tree.Path("sub/deeper/b.txt"))).size, 6);
}

TEST_F(FolderScanTest, WalksDepthFirstSoASubfoldersFilesStayTogether) {
    TempTree tree;
    for (char folder : std::string("pqr")) {
        for (int i = 0; i < 4; ++i) tree.File(std::string(1, folder) + "/" + std::to_string(i), "data");
        tree.File(std::string(1, folder) + "/nested/deep", "deep");
    }
    ScanFolder(tree.Root());
    ASSERT_EQ(RecordCount(), 15u);
    // Each folder's five files (its nested one included) occupy consecutive indices.
    for (char folder : std::string("pqr")) {
        std::string prefix = tree.Path(std::string(1, folder) + "/");
        std::vector<size_t> indices;
        for (size_t i = 0; i < RecordCount(); ++i) {
            if (RecordPath(i).compare(0, prefix.size(), prefix) == 0) indices.push_back(i);
        }
        ASSERT_EQ(indices.size(), 5u);
        EXPECT_EQ(indices.back() - indices.front(), 4u) << folder;
    }
}

TEST_F(FolderScanTest, SeparatorIsAppendedEvenWhenTheFolderEndsWithOne) {
    TempTree tree;
    tree.File("only", "1");
    ScanFolder(tree.Root() + kPathSeparator);
    ASSERT_EQ(RecordCount(), 1u);
    EXPECT_EQ(RecordPath(0), tree.Root() + kPathSeparator + kPathSeparator + "only");
}

TEST_F(FolderScanTest, StopRequestedBeforeTheScanEndsItAfterTheFirstEntry) {
    TempTree tree;
    for (int i = 0; i < 50; ++i) tree.File("f" + std::to_string(i), "x");
    g_analysis.cancelCode.store(kCancelByUser);
    ScanFolder(tree.Root());
    EXPECT_LE(RecordCount(), 1u);
    EXPECT_EQ(BucketCount(), RecordCount());
}

TEST_F(FolderScanTest, SparseFilesPastTwoAndFourGibibytesKeepTheirTrueLength) {
    TempTree tree;
    const int64_t past2g = (int64_t{1} << 31) + 5;
    const int64_t past4g = (int64_t{1} << 32) + 1024;
    tree.SparseFile("past2g", past2g, "head");
    tree.SparseFile("past4g", past4g, "head");
    ScanFolder(tree.Root());
    ASSERT_EQ(RecordCount(), 2u);
    EXPECT_EQ(Record(IndexOf(tree.Path("past2g"))).size, past2g);
    EXPECT_EQ(Record(IndexOf(tree.Path("past4g"))).size, past4g);
}

TEST_F(FolderScanTest, PathsLongerThanTheClassicLimitAreCataloguedWhole) {
    TempTree tree;
    std::string relative;
    for (int level = 0; level < 12; ++level) relative += std::string(30, static_cast<char>('a' + level)) + "/";
    relative += "file.dat";
    tree.File(relative, "long");
    ScanFolder(tree.Root());
    ASSERT_EQ(RecordCount(), 1u);
    EXPECT_EQ(RecordPath(0), tree.Path(relative));
    EXPECT_GT(RecordPath(0).size(), 300u);
    EXPECT_TRUE(OpenInputFile(RecordPath(0)) != nullptr);
}

#ifndef _WIN32
// Iterative walk: a tree deeper than any recursion budget we would accept.
TEST_F(FolderScanTest, DeepTreeIsWalkedWithoutRecursion) {
    TempTree tree;
    std::string relative;
    for (int level = 0; level < 1200; ++level) {
        relative += "d/";
        std::filesystem::create_directory(tree.Path(relative));
    }
    tree.File(relative + "leaf", "leaf");
    ScanFolder(tree.Root());
    ASSERT_EQ(RecordCount(), 1u);
    EXPECT_EQ(RecordPath(0), tree.Path(relative + "leaf"));
}
#endif

TEST_F(FolderScanTest, AFilterLeavesOutSmallFilesAndNamedFoldersAndTheDefaultsNothing) {
    TempTree tree;
    tree.File("keep/big.bin", "0123456789");
    tree.File("keep/small.bin", "01");
    tree.File("Node_Modules/big.bin", "0123456789");
    tree.File("deep/node_modules/x/big.bin", "0123456789");
    tree.File("node_modules.txt", "0123456789");  // a file of that name stays
    ScanFolder(tree.Root());
    EXPECT_EQ(RecordCount(), 5u);
    ResetEngine();
    AnalysisFilter filter;
    ASSERT_TRUE(ParseMinimumSize(" 10 ", filter.minimumSize));
    filter.skipFolders = ParseFolderNames(" .git ; node_modules;;");
    EXPECT_EQ(filter.skipFolders, (std::vector<std::string>{".git", "node_modules"}));
    EXPECT_EQ(JoinFolderNames(filter.skipFolders), ".git;node_modules");
    ScanFolder(tree.Root(), filter);
    EXPECT_EQ(CataloguedPaths(), (std::set<std::string>{tree.Path("keep/big.bin"), tree.Path("node_modules.txt")}));
    int64_t size = 7;
    EXPECT_TRUE(ParseMinimumSize("", size));
    EXPECT_EQ(size, 0);
    EXPECT_FALSE(ParseMinimumSize("-1", size));
    EXPECT_FALSE(ParseMinimumSize("1e3", size));
    EXPECT_FALSE(ParseMinimumSize("99999999999999999999", size));
}

// Whatever alias the listing reports (exFAT, network shares and new NTFS
// volumes report none), the walk takes an entry by its real name.
TEST(ListedEntryTest, AnEntryIsTakenByItsRealNameNeverItsAlias) {
    ListedEntry korean;
    korean.name = u"\ud55c\uad6d\uc5b4.txt";
    korean.size = 7;
    FolderEntry entry = FolderEntryFromListing(korean);
    EXPECT_EQ(entry.name, "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4.txt");
    EXPECT_EQ(entry.size, 7);
    EXPECT_FALSE(entry.isFolder);
    ListedEntry folder;
    folder.name = u"\u00c9lodie";
    folder.shortName = u"_LOD~DUQ";
    folder.isFolder = true;
    folder.size = 4096;
    entry = FolderEntryFromListing(folder);
    EXPECT_EQ(entry.name, "\xC3\x89lodie");
    EXPECT_TRUE(entry.isFolder);
    EXPECT_EQ(entry.size, 0);
}

#ifdef _WIN32
void CreateWideFile(const std::wstring& path, const char* contents) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, contents, static_cast<DWORD>(strlen(contents)), &written, nullptr);
    CloseHandle(file);
}

TEST_F(FolderScanTest, HiddenAndSystemEntriesAreIncluded) {
    TempTree tree;
    tree.File("hidden.txt", "h");
    tree.File("sysdir/inside.txt", "s");
    SetFileAttributesW(WidePathFromUtf8(tree.Path("hidden.txt")).c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(WidePathFromUtf8(tree.Path("sysdir")).c_str(),
                       FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    ScanFolder(tree.Root());
    std::set<std::string> expected = {tree.Path("hidden.txt"), tree.Path("sysdir/inside.txt")};
    EXPECT_EQ(CataloguedPaths(), expected);
}

// Names outside code page 932 are catalogued by their real names, each
// opening its own file; dot names are skipped by their real names too.
TEST_F(FolderScanTest, NamesOutsideCodePage932AreCataloguedByTheirRealNames) {
    TempTree tree;
    std::wstring wideRoot = WidePathFromUtf8(tree.Root()) + L"\\";
    CreateWideFile(wideRoot + L"caf\u00e9 \u0141\u00f3d\u017a.txt", "accented");
    CreateWideFile(wideRoot + L"\U0001F600.txt", "emoji");
    tree.File("cafe Lodz.txt", "a look-alike");
    CreateWideFile(wideRoot + L".caf\u00e9", "dot file");
    ASSERT_TRUE(CreateDirectoryW((wideRoot + L".d\u00e9j\u00e0").c_str(), nullptr));
    CreateWideFile(wideRoot + L".d\u00e9j\u00e0\\inside.txt", "in a dot folder");
    ScanFolder(tree.Root());
    const std::set<std::string> expected = {tree.Path("caf\xC3\xA9 \xC5\x81\xC3\xB3" "d\xC5\xBA.txt"),
                                            tree.Path("\xF0\x9F\x98\x80.txt"), tree.Path("cafe Lodz.txt")};
    ASSERT_EQ(CataloguedPaths(), expected);
    std::set<std::string> contents;
    for (size_t i = 0; i < RecordCount(); ++i) {
        InputFile file = OpenInputFile(RecordPath(i));
        ASSERT_TRUE(file != nullptr) << RecordPath(i);
        char buffer[64];
        contents.insert(std::string(buffer, ReadInputFile(*file, buffer, sizeof buffer).bytes));
    }
    EXPECT_EQ(contents, (std::set<std::string>{"accented", "emoji", "a look-alike"}));
}
#endif

}  // namespace
