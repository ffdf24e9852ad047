#include "engine/folder_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/folder_listing.h"
#include "engine/input_file.h"
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
        for (size_t i = 0; i < RecordCount(); ++i) paths.insert(Record(i).path);
        return paths;
    }

    static size_t IndexOf(const std::string& path) {
        for (size_t i = 0; i < RecordCount(); ++i) {
            if (Record(i).path == path) return i;
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
            if (Record(i).path.compare(0, prefix.size(), prefix) == 0) indices.push_back(i);
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
    EXPECT_EQ(Record(0).path, tree.Root() + kPathSeparator + kPathSeparator + "only");
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
    EXPECT_EQ(Record(0).path, tree.Path(relative));
    EXPECT_GT(Record(0).path.size(), 300u);
    EXPECT_TRUE(OpenInputFile(Record(0).path) != nullptr);
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
    EXPECT_EQ(Record(0).path, tree.Path(relative + "leaf"));
}
#endif

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
    SetFileAttributesW(WidePathFromNarrow(tree.Path("hidden.txt")).c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(WidePathFromNarrow(tree.Path("sysdir")).c_str(),
                       FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    ScanFolder(tree.Root());
    std::set<std::string> expected = {tree.Path("hidden.txt"), tree.Path("sysdir/inside.txt")};
    EXPECT_EQ(CataloguedPaths(), expected);
}

// A name that code page 932 cannot hold must not turn into "?" (which opens
// nothing) or a look-alike (which may open another file), nor lose the dot
// that keeps it out.
TEST_F(FolderScanTest, NameOutsideCodePage932IsReachedThroughAPathThatOpensIt) {
    TempTree tree;
    std::wstring wideRoot = WidePathFromNarrow(tree.Root()) + L"\\";
    CreateWideFile(wideRoot + L"caf\u00e9 \u0141\u00f3d\u017a.txt", "accented");
    tree.File("cafe Lodz.txt", "a look-alike");
    // Dot names are skipped by their real names, whose 8.3 names start
    // with no dot.
    CreateWideFile(wideRoot + L".caf\u00e9", "dot file");
    ASSERT_TRUE(CreateDirectoryW((wideRoot + L".d\u00e9j\u00e0").c_str(), nullptr));
    CreateWideFile(wideRoot + L".d\u00e9j\u00e0\\inside.txt", "in a dot folder");
    ScanFolder(tree.Root());
    ASSERT_EQ(RecordCount(), 2u);
    std::set<std::string> contents;
    for (size_t i = 0; i < RecordCount(); ++i) {
        const std::string& path = Record(i).path;
        EXPECT_EQ(path.find('?'), std::string::npos) << path;
        InputFile file = OpenInputFile(path);
        ASSERT_TRUE(file != nullptr) << path;
        char buffer[64];
        size_t got = ReadInputFile(*file, buffer, sizeof buffer).bytes;
        contents.insert(std::string(buffer, got));
        EXPECT_EQ(Record(i).size, static_cast<int64_t>(got)) << path;
    }
    // Each name reaches its own file: the accented one through its 8.3 name.
    EXPECT_EQ(contents, (std::set<std::string>{"accented", "a look-alike"}));
}
#endif

}  // namespace
