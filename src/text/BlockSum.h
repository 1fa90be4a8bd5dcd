#pragma once
// A checksum of a block of a file's bytes. The load pass notes one for every block it reads;
// rows read later check their blocks against them, so a file changed where it stands after it
// was loaded is noticed instead of shown. It guards against other programs, not against an
// adversary: two sums over 64-bit words (Fletcher's scheme), four lanes wide so that SIMD
// registers compute it at memory speed.

#include <cstddef>
#include <cstdint>

namespace korvane {

// The sums of the words seen so far, lane k taking words k, k + 4, k + 8, ...
struct BlockSumLanes {
    uint64_t a[4] = {};  // sum of the words
    uint64_t b[4] = {};  // sum of the running sums: changes when words move
};

// Adds `groups` groups of 32 bytes.
void addBlockSumGroups(BlockSumLanes& lanes, const char* data, size_t groups);

// The checksum of `size` bytes: whole groups, then the rest padded with zeros; the size is part
// of the sum.
uint64_t blockSum(const char* data, size_t size);

}  // namespace korvane
