#include "engine/catalogue.h"

#include <gtest/gtest.h>

#include "engine/analysis_run.h"
#include "tests/support/engine_reset.h"

namespace {

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngine(); }
};

TEST_F(CatalogueTest, FindSizeBucketGivesFoundBucketOrInsertionPoint) {
    BucketSearch empty = FindSizeBucket(42);
    EXPECT_FALSE(empty.found);
    EXPECT_EQ(empty.position, 0u);

    for (int64_t size : {10, 20, 30, 40, 50}) AddFile("f", size);
    for (size_t k = 0; k < 5; ++k) {
        BucketSearch hit = FindSizeBucket(10 * static_cast<int64_t>(k + 1));
        EXPECT_TRUE(hit.found);
        EXPECT_EQ(hit.position, k);
    }
    EXPECT_EQ(FindSizeBucket(5).position, 0u);
    EXPECT_EQ(FindSizeBucket(25).position, 2u);
    EXPECT_EQ(FindSizeBucket(55).position, 5u);
    EXPECT_FALSE(FindSizeBucket(55).found);
}

TEST_F(CatalogueTest, RecordsKeepDiscoveryOrderAndBucketsAscend) {
    AddFile("a", 300);
    AddFile("b", 100);
    AddFile("c", 300);
    ASSERT_EQ(RecordCount(), 3u);
    EXPECT_EQ(RecordPath(0), "a");
    EXPECT_EQ(RecordPath(1), "b");
    EXPECT_EQ(RecordPath(2), "c");
    EXPECT_FALSE(IsDone(2));
    ASSERT_EQ(BucketCount(), 2u);
    EXPECT_EQ(Bucket(0).size, 100);
    EXPECT_EQ(Bucket(0).count, 1);
    EXPECT_EQ(Bucket(1).size, 300);
    EXPECT_EQ(Bucket(1).count, 2);

    // A folder's files may come back after another folder's.
    const uint32_t x = AddFolder("x\\");
    const uint32_t y = AddFolder("y\\");
    AddFile(x, "1", 5);
    AddFile(y, "22", 5);
    AddFile(y, "333", 5);
    AddFile(x, "4444", 5);
    EXPECT_EQ(RecordPath(2), "c");
    EXPECT_EQ(RecordPath(3), "x\\1");
    EXPECT_EQ(RecordPath(4), "y\\22");
    EXPECT_EQ(RecordPath(5), "y\\333");
    EXPECT_EQ(RecordPath(6), "x\\4444");
}

TEST_F(CatalogueTest, LengthsThatDifferByFourGibibytesNeverShareABucket) {
    const int64_t kib = 1024;
    const int64_t fourGib = int64_t{1} << 32;
    AddFile("small", kib);
    AddFile("huge", fourGib + kib);
    AddFile("zero", 0);
    AddFile("past2g", (int64_t{1} << 31) + 1);
    ASSERT_EQ(BucketCount(), 4u);
    EXPECT_EQ(Bucket(0).size, 0);
    EXPECT_EQ(Bucket(1).size, kib);
    EXPECT_EQ(Bucket(2).size, (int64_t{1} << 31) + 1);
    EXPECT_EQ(Bucket(3).size, fourGib + kib);
}

TEST_F(CatalogueTest, ClearingEmptiesBoth) {
    AddFile("a", 1);
    ClearCatalogue();
    EXPECT_EQ(RecordCount(), 0u);
    EXPECT_EQ(BucketCount(), 0u);
}

TEST(WorkerBucketRangeTest, ThreeBucketsGoToWorkersThreeSixAndNine) {
    for (int k = 0; k < kWorkerCount; ++k) {
        BucketRange range = WorkerBucketRange(k, 3);
        size_t width = range.end - range.first;
        EXPECT_EQ(width, (k == 3 || k == 6 || k == 9) ? 1u : 0u) << "worker " << k;
    }
    EXPECT_EQ(WorkerBucketRange(3, 3).first, 0u);
    EXPECT_EQ(WorkerBucketRange(6, 3).first, 1u);
    EXPECT_EQ(WorkerBucketRange(9, 3).first, 2u);
}

TEST(WorkerBucketRangeTest, TwentyFiveBucketsSplitAsIntegerDivisionSays) {
    const size_t expected[kWorkerCount + 1] = {0, 2, 5, 7, 10, 12, 15, 17, 20, 22, 25};
    for (int k = 0; k < kWorkerCount; ++k) {
        EXPECT_EQ(WorkerBucketRange(k, 25).first, expected[k]);
        EXPECT_EQ(WorkerBucketRange(k, 25).end, expected[k + 1]);
    }
}

TEST(WorkerBucketRangeTest, RangesCoverEveryBucketOnceEvenForHugeTables) {
    for (size_t n : {size_t{0}, size_t{1}, size_t{9}, size_t{11}, size_t{1000003}, size_t{0x7fffffff}}) {
        size_t expectedFirst = 0;
        for (int k = 0; k < kWorkerCount; ++k) {
            BucketRange range = WorkerBucketRange(k, n);
            EXPECT_EQ(range.first, expectedFirst);
            EXPECT_LE(range.first, range.end);
            expectedFirst = range.end;
        }
        EXPECT_EQ(expectedFirst, n);
    }
}

TEST(ProgressPercentTest, ComputesWithoutOverflow) {
    EXPECT_EQ(ProgressPercent(250, 1000), 25u);
    EXPECT_EQ(ProgressPercent(0, 7), 0u);
    EXPECT_EQ(ProgressPercent(7, 7), 100u);
    EXPECT_EQ(ProgressPercent(5, 0), 0u);
    // 50 million of 100 million: a 32-bit product would wrap.
    EXPECT_EQ(ProgressPercent(50000000, 100000000), 50u);
    EXPECT_EQ(ProgressPercent(4294967295u, 4294967295u), 100u);
}

}  // namespace
