// A 64-bit digest of bytes fed in pieces of any length. Equal bytes give
// equal digests, so different digests prove different contents; equal
// digests only make files candidates, which the byte comparison then proves.
#pragma once

#include <cstddef>
#include <cstdint>

class ContentDigest {
public:
    void Add(const void* bytes, size_t count);
    uint64_t Finish() const;

private:
    void AddStripe(const unsigned char* stripe);

    static constexpr size_t kStripe = 32;  // four independent lanes of 8 bytes
    uint64_t lanes_[4] = {0x9E3779B97F4A7C15u, 0xC2B2AE3D27D4EB4Fu, 0x165667B19E3779F9u, 0x27D4EB2F165667C5u};
    unsigned char pending_[kStripe] = {};
    size_t pendingCount_ = 0;
    uint64_t length_ = 0;
};
