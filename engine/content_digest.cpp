#include "engine/content_digest.h"

#include <cstring>

namespace {

constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87u;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Fu;

uint64_t RotateLeft(uint64_t value, int bits) { return (value << bits) | (value >> (64 - bits)); }

uint64_t LoadWord(const unsigned char* bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

uint64_t MixLane(uint64_t lane, uint64_t word) { return RotateLeft(lane + word * kPrime2, 31) * kPrime1; }

// Spreads every input bit over the whole result.
uint64_t Avalanche(uint64_t value) {
    value ^= value >> 33;
    value *= 0xFF51AFD7ED558CCDu;
    value ^= value >> 33;
    value *= 0xC4CEB9FE1A85EC53u;
    value ^= value >> 33;
    return value;
}

}  // namespace

void ContentDigest::AddStripe(const unsigned char* stripe) {
    for (int lane = 0; lane < 4; ++lane) lanes_[lane] = MixLane(lanes_[lane], LoadWord(stripe + 8 * lane));
}

void ContentDigest::Add(const void* bytes, size_t count) {
    const unsigned char* in = static_cast<const unsigned char*>(bytes);
    length_ += count;
    if (pendingCount_ > 0) {
        const size_t take = count < kStripe - pendingCount_ ? count : kStripe - pendingCount_;
        std::memcpy(pending_ + pendingCount_, in, take);
        pendingCount_ += take;
        in += take;
        count -= take;
        if (pendingCount_ < kStripe) return;
        AddStripe(pending_);
        pendingCount_ = 0;
    }
    for (; count >= kStripe; in += kStripe, count -= kStripe) AddStripe(in);
    std::memcpy(pending_, in, count);
    pendingCount_ = count;
}

uint64_t ContentDigest::Finish() const {
    uint64_t digest = RotateLeft(lanes_[0], 1) + RotateLeft(lanes_[1], 7) + RotateLeft(lanes_[2], 12) +
                      RotateLeft(lanes_[3], 18);
    digest = (digest ^ length_) * kPrime1;
    for (size_t i = 0; i < pendingCount_; ++i) digest = RotateLeft(digest ^ (pending_[i] * kPrime2), 23) * kPrime1;
    return Avalanche(digest);
}
