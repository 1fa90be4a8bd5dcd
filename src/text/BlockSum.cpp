#include "text/BlockSum.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvane {

namespace {

constexpr size_t kGroup = 32;

// The final mixing of splitmix64: every input bit reaches every output bit.
inline uint64_t mix(uint64_t x) {
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    return x;
}

}  // namespace

void addBlockSumGroups(BlockSumLanes& lanes, const char* data, size_t groups) {
#if defined(__SSE2__)
    __m128i a01 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes.a));
    __m128i a23 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes.a + 2));
    __m128i b01 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes.b));
    __m128i b23 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes.b + 2));
    for (size_t g = 0; g < groups; ++g) {
        const auto* group = reinterpret_cast<const __m128i*>(data + g * kGroup);
        a01 = _mm_add_epi64(a01, _mm_loadu_si128(group));
        a23 = _mm_add_epi64(a23, _mm_loadu_si128(group + 1));
        b01 = _mm_add_epi64(b01, a01);
        b23 = _mm_add_epi64(b23, a23);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes.a), a01);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes.a + 2), a23);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes.b), b01);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes.b + 2), b23);
#else
    for (size_t g = 0; g < groups; ++g) {
        for (int k = 0; k < 4; ++k) {
            uint64_t word;
            std::memcpy(&word, data + g * kGroup + static_cast<size_t>(k) * 8, 8);
            lanes.a[k] += word;
            lanes.b[k] += lanes.a[k];
        }
    }
#endif
}

uint64_t blockSum(const char* data, size_t size) {
    BlockSumLanes lanes;
    const size_t whole = size / kGroup;
    addBlockSumGroups(lanes, data, whole);
    const size_t rest = size - whole * kGroup;
    if (rest > 0) {
        char padded[kGroup] = {};
        std::memcpy(padded, data + whole * kGroup, rest);
        addBlockSumGroups(lanes, padded, 1);
    }
    uint64_t sum = mix(size);
    for (int k = 0; k < 4; ++k) {
        sum = mix(sum ^ lanes.a[k]);
        sum = mix(sum ^ lanes.b[k]);
    }
    return sum;
}

}  // namespace korvane
