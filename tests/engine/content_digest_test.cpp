#include "engine/content_digest.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/support/temp_tree.h"

namespace {

uint64_t DigestInPieces(const std::string& bytes, size_t piece) {
    ContentDigest digest;
    for (size_t at = 0; at < bytes.size(); at += piece) digest.Add(bytes.data() + at, std::min(piece, bytes.size() - at));
    return digest.Finish();
}

TEST(ContentDigestTest, PiecesOfAnyLengthGiveTheDigestOfTheWhole) {
    const std::string bytes = PatternBytes(1000, 4);
    const uint64_t whole = DigestInPieces(bytes, bytes.size());
    for (size_t piece : {1, 3, 7, 31, 32, 33, 64, 999}) EXPECT_EQ(DigestInPieces(bytes, piece), whole) << piece;
}

TEST(ContentDigestTest, OneChangedBitOrOneMoreZeroByteChangesTheDigest) {
    const std::string bytes = PatternBytes(100, 9);
    std::set<uint64_t> digests{DigestInPieces(bytes, 100)};
    for (size_t position = 0; position < bytes.size(); ++position) {
        std::string changed = bytes;
        changed[position] ^= 0x10;
        digests.insert(DigestInPieces(changed, 100));
    }
    EXPECT_EQ(digests.size(), bytes.size() + 1);
    // Trailing zeros are not padding: lengths are part of the digest.
    EXPECT_NE(DigestInPieces(std::string(31, '\0'), 31), DigestInPieces(std::string(32, '\0'), 32));
    EXPECT_NE(DigestInPieces("", 1), DigestInPieces(std::string(1, '\0'), 1));
}

}  // namespace
