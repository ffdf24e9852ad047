#include "engine/compare_files.h"

#include <gtest/gtest.h>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "tests/support/engine_reset.h"
#include "tests/support/temp_tree.h"

namespace {

class CompareFilesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngine(); }
    void TearDown() override { ResetEngine(); }

    // Catalogues two files written with the given contents under the size
    // the scan saw, and compares them.
    bool Compare(const std::string& first, const std::string& second, int64_t cataloguedSize) {
        tree_.File("first", first);
        tree_.File("second", second);
        ClearCatalogue();
        AddFile(tree_.Path("first"), cataloguedSize);
        AddFile(tree_.Path("second"), cataloguedSize);
        return CompareFiles(0, 1);
    }
    bool Compare(const std::string& first, const std::string& second) {
        return Compare(first, second, static_cast<int64_t>(first.size()));
    }

    TempTree tree_;
};

TEST_F(CompareFilesTest, ChunkLengthSwitchesAfter2048Bytes) {
    EXPECT_EQ(ChunkLengthForSize(0), 1024u);
    EXPECT_EQ(ChunkLengthForSize(2048), 1024u);
    EXPECT_EQ(ChunkLengthForSize(2049), 10240u);
    EXPECT_EQ(ChunkLengthForSize(int64_t{1} << 40), 10240u);
}

TEST_F(CompareFilesTest, EqualFilesOfEveryBoundaryLengthCompareEqual) {
    for (size_t length : {0, 1, 1023, 1024, 1025, 2048, 2049, 10240, 10241, 20480, 65537}) {
        std::string bytes = PatternBytes(length, 7);
        EXPECT_TRUE(Compare(bytes, bytes)) << length;
    }
}

TEST_F(CompareFilesTest, DifferenceInFirstMiddleOrLastByteIsFound) {
    for (size_t length : {1, 1024, 2048, 2049, 10240, 10241, 30000}) {
        const std::string bytes = PatternBytes(length, 3);
        for (size_t position : {size_t{0}, length / 2, length - 1}) {
            std::string changed = bytes;
            changed[position] = static_cast<char>(changed[position] ^ 0x01);
            EXPECT_FALSE(Compare(bytes, changed)) << length << " at " << position;
        }
    }
}

// Zero padding must not make a file that changed length since the scan
// look equal: "abc" against "abc\0" both catalogued at 3 bytes.
TEST_F(CompareFilesTest, FilesThatGrewOrShrankSinceTheScanDiffer) {
    EXPECT_FALSE(Compare("abc", std::string("abc\0", 4), 3));
    EXPECT_FALSE(Compare(std::string("abc\0", 4), "abc", 4));
    EXPECT_FALSE(Compare(std::string(2048, '\0'), std::string(2049, '\0'), 2048));
    EXPECT_FALSE(Compare(std::string(10240, 'q'), std::string(10240 + 5, 'q'), 10240));
}

// Equal only when both gave exactly their size: two different files whose
// reads fail at the same place must not pass as "both ended".
TEST_F(CompareFilesTest, FilesWhoseReadsFailAreNeverEqual) {
    for (uint64_t failsAt : {0, 1000, 4095}) {
        SetReadFaultRule([failsAt](const std::string&, uint64_t& at) { return at = failsAt, true; });
        EXPECT_FALSE(Compare(PatternBytes(4096, 1), PatternBytes(4096, 2))) << failsAt;
        EXPECT_FALSE(Compare(PatternBytes(4096, 1), PatternBytes(4096, 1))) << failsAt;
    }
    SetReadFaultRule([](const std::string&, uint64_t& at) { return at = 4097, true; });
    EXPECT_TRUE(Compare(PatternBytes(4096, 1), PatternBytes(4096, 1))) << "a fault beyond the end is never met";
    SetReadFaultRule(nullptr);
}

TEST_F(CompareFilesTest, UnopenableFileIsNeverEqual) {
    tree_.File("exists", "same");
    AddFile(tree_.Path("exists"), 4);
    AddFile(tree_.Path("missing"), 4);
    EXPECT_FALSE(CompareFiles(0, 1));
    EXPECT_FALSE(CompareFiles(1, 0));
}

// Two folders put where catalogued files were read nothing alike; they must
// not pass as two equal empty files.
TEST_F(CompareFilesTest, FoldersInPlaceOfCataloguedFilesAreNeverEqual) {
    tree_.Folder("was-a-file");
    tree_.Folder("was-another-file");
    AddFile(tree_.Path("was-a-file"), 100);
    AddFile(tree_.Path("was-another-file"), 100);
    EXPECT_FALSE(CompareFiles(0, 1));
    ClearCatalogue();
    AddFile(tree_.Path("was-a-file"), 0);
    AddFile(tree_.Path("was-another-file"), 0);
    EXPECT_FALSE(CompareFiles(0, 1));
}

TEST_F(CompareFilesTest, StopRequestMakesAComparisonOfEqualFilesFalse) {
    const std::string bytes = PatternBytes(50000, 1);
    tree_.File("a", bytes);
    tree_.File("b", bytes);
    AddFile(tree_.Path("a"), 50000);
    AddFile(tree_.Path("b"), 50000);
    EXPECT_TRUE(CompareFiles(0, 1));
    g_analysis.cancelCode.store(kCancelByUser);
    EXPECT_FALSE(CompareFiles(0, 1));
}

}  // namespace
