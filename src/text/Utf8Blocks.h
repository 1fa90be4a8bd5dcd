#pragma once
// UTF-8 checked 16 bytes at a time with SSSE3 table lookups (the method of Keiser and Lemire,
// "Validating UTF-8 In Less Than One Instruction Per Byte"), for CPUs that have it. Each byte is
// classed by its own high nibble and the previous byte's two nibbles; the classes of a valid
// pair never meet, and the third and fourth bytes of a character are told by the lead bytes two
// and three places back.

#include <cstddef>
#include <cstdint>

namespace korvane {

struct Utf8BlockState {
    uint8_t previous[16] = {};    // the block checked last
    uint8_t incomplete[16] = {};  // non-zero where that block ends inside a character
    bool error = false;
};

// The CPU can run checkUtf8Blocks.
bool utf8BlocksAvailable();

// Checks `blockCount` blocks of 16 bytes that follow the ones checked before.
void checkUtf8Blocks(Utf8BlockState& state, const uint8_t* data, size_t blockCount);

// After the last block: no character left open.
bool utf8BlocksComplete(const Utf8BlockState& state);

}  // namespace korvane
