#include "text/Utf8Blocks.h"

#if defined(__x86_64__) || defined(__i386__)
#define KORVANE_UTF8_BLOCKS 1
#include <immintrin.h>
#endif

namespace korvane {

#if defined(KORVANE_UTF8_BLOCKS)

namespace {

// Error classes of a (previous byte, byte) pair.
constexpr uint8_t kTooShort = 1 << 0;   // lead byte followed by ASCII or another lead byte
constexpr uint8_t kTooLong = 1 << 1;    // ASCII followed by a continuation byte
constexpr uint8_t kOverlong3 = 1 << 2;  // E0 80..9F
constexpr uint8_t kTooLarge = 1 << 3;   // above U+10FFFF
constexpr uint8_t kSurrogate = 1 << 4;  // ED A0..BF
constexpr uint8_t kOverlong2 = 1 << 5;  // C0, C1
constexpr uint8_t kTooLarge1000 = 1 << 6;
constexpr uint8_t kOverlong4 = 1 << 6;  // F0 80..8F
constexpr uint8_t kTwoConts = 1 << 7;   // two continuation bytes (fine only inside a character)
constexpr uint8_t kCarry = kTooShort | kTooLong | kTwoConts;

__attribute__((target("ssse3"))) inline __m128i table(const uint8_t (&t)[16]) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(t));
}

__attribute__((target("ssse3"))) inline __m128i highNibbles(__m128i v) {
    return _mm_and_si128(_mm_srli_epi16(v, 4), _mm_set1_epi8(0x0F));
}

// Error classes by the high nibble of the byte before, its low nibble, and the high nibble of
// the byte itself; a valid pair has none in common.
const uint8_t kFirstHigh[16] = {kTooLong,
                                kTooLong,
                                kTooLong,
                                kTooLong,
                                kTooLong,
                                kTooLong,
                                kTooLong,
                                kTooLong,
                                kTwoConts,
                                kTwoConts,
                                kTwoConts,
                                kTwoConts,
                                kTooShort | kOverlong2,
                                kTooShort,
                                kTooShort | kOverlong3 | kSurrogate,
                                kTooShort | kTooLarge | kTooLarge1000 | kOverlong4};
const uint8_t kFirstLow[16] = {kCarry | kOverlong3 | kOverlong2 | kOverlong4,
                               kCarry | kOverlong2,
                               kCarry,
                               kCarry,
                               kCarry | kTooLarge,
                               kCarry | kTooLarge | kTooLarge1000,
                               kCarry | kTooLarge | kTooLarge1000,
                               kCarry | kTooLarge | kTooLarge1000,
                               kCarry | kTooLarge | kTooLarge1000,
                               kCarry | kTooLarge | kTooLarge1000,
                               kCarry | kTooLarge | kTooLarge1000,
                               kCarry | kTooLarge | kTooLarge1000,
                               kCarry | kTooLarge | kTooLarge1000,
                               kCarry | kTooLarge | kTooLarge1000 | kSurrogate,
                               kCarry | kTooLarge | kTooLarge1000,
                               kCarry | kTooLarge | kTooLarge1000};
const uint8_t kSecondHigh[16] = {
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge1000 | kOverlong4,
    kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge,
    kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge,
    kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort};

__attribute__((target("ssse3"))) void checkUtf8Blocks16(Utf8BlockState& state, const uint8_t* data,
                                                        size_t blockCount) {
    // A byte above these in the last three places starts a character that goes on.
    static const uint8_t kLastComplete[16] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xEF, 0xDF, 0xBF};

    const __m128i firstHigh = table(kFirstHigh);
    const __m128i firstLow = table(kFirstLow);
    const __m128i secondHigh = table(kSecondHigh);
    const __m128i lastComplete = table(kLastComplete);
    const __m128i lowNibble = _mm_set1_epi8(0x0F);
    __m128i previous = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state.previous));
    __m128i incomplete = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state.incomplete));
    __m128i error = _mm_setzero_si128();

    for (size_t b = 0; b < blockCount; ++b) {
        const __m128i input = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * b));
        if (_mm_movemask_epi8(input) == 0) {
            // All ASCII: fine unless the block before left a character open.
            error = _mm_or_si128(error, incomplete);
            incomplete = _mm_setzero_si128();
        } else {
            const __m128i prev1 = _mm_alignr_epi8(input, previous, 15);
            const __m128i prev2 = _mm_alignr_epi8(input, previous, 14);
            const __m128i prev3 = _mm_alignr_epi8(input, previous, 13);
            const __m128i special = _mm_and_si128(
                _mm_and_si128(_mm_shuffle_epi8(firstHigh, highNibbles(prev1)),
                              _mm_shuffle_epi8(firstLow, _mm_and_si128(prev1, lowNibble))),
                _mm_shuffle_epi8(secondHigh, highNibbles(input)));
            // Third and fourth bytes of a character: the lead byte stands two or three back.
            const __m128i third =
                _mm_subs_epu8(prev2, _mm_set1_epi8(static_cast<char>(0xE0 - 0x80)));
            const __m128i fourth =
                _mm_subs_epu8(prev3, _mm_set1_epi8(static_cast<char>(0xF0 - 0x80)));
            const __m128i mustContinue =
                _mm_and_si128(_mm_or_si128(third, fourth), _mm_set1_epi8(static_cast<char>(0x80)));
            error = _mm_or_si128(error, _mm_xor_si128(mustContinue, special));
            incomplete = _mm_subs_epu8(input, lastComplete);
        }
        previous = input;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state.previous), previous);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state.incomplete), incomplete);
    const __m128i zero = _mm_setzero_si128();
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(error, zero)) != 0xFFFF) {
        state.error = true;
    }
}

__attribute__((target("avx2"))) inline __m256i bothHalves(const uint8_t (&t)[16]) {
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t)));
}

__attribute__((target("avx2"))) inline __m256i highNibbles32(__m256i v) {
    return _mm256_and_si256(_mm256_srli_epi16(v, 4), _mm256_set1_epi8(0x0F));
}

// The same check 32 bytes at a time. The table lookups work on each 16-byte half alone; the
// bytes before a half come from the half before it, the first one's from the previous block.
__attribute__((target("avx2"))) void checkUtf8Blocks32(Utf8BlockState& state, const uint8_t* data,
                                                       size_t pairCount) {
    // A byte above these in the last three places of the 32 starts a character that goes on.
    static const uint8_t kLastComplete[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xEF, 0xDF, 0xBF};
    const __m256i firstHigh = bothHalves(kFirstHigh);
    const __m256i firstLow = bothHalves(kFirstLow);
    const __m256i secondHigh = bothHalves(kSecondHigh);
    const __m256i lastComplete =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kLastComplete));
    const __m256i lowNibble = _mm256_set1_epi8(0x0F);
    __m128i previous = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state.previous));
    __m256i incomplete =
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state.incomplete)));
    incomplete = _mm256_inserti128_si256(incomplete, _mm_setzero_si128(), 1);
    __m256i error = _mm256_setzero_si256();

    for (size_t p = 0; p < pairCount; ++p) {
        const __m256i input = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + 32 * p));
        if (_mm256_movemask_epi8(input) == 0) {
            error = _mm256_or_si256(error, incomplete);
            incomplete = _mm256_setzero_si256();
        } else {
            // [previous 16, first half of input]: the bytes just before each half.
            const __m256i before = _mm256_set_m128i(_mm256_castsi256_si128(input), previous);
            const __m256i prev1 = _mm256_alignr_epi8(input, before, 15);
            const __m256i prev2 = _mm256_alignr_epi8(input, before, 14);
            const __m256i prev3 = _mm256_alignr_epi8(input, before, 13);
            const __m256i special = _mm256_and_si256(
                _mm256_and_si256(_mm256_shuffle_epi8(firstHigh, highNibbles32(prev1)),
                                 _mm256_shuffle_epi8(firstLow, _mm256_and_si256(prev1, lowNibble))),
                _mm256_shuffle_epi8(secondHigh, highNibbles32(input)));
            const __m256i third =
                _mm256_subs_epu8(prev2, _mm256_set1_epi8(static_cast<char>(0xE0 - 0x80)));
            const __m256i fourth =
                _mm256_subs_epu8(prev3, _mm256_set1_epi8(static_cast<char>(0xF0 - 0x80)));
            const __m256i mustContinue = _mm256_and_si256(
                _mm256_or_si256(third, fourth), _mm256_set1_epi8(static_cast<char>(0x80)));
            error = _mm256_or_si256(error, _mm256_xor_si256(mustContinue, special));
            incomplete = _mm256_subs_epu8(input, lastComplete);
        }
        previous = _mm256_extracti128_si256(input, 1);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state.previous), previous);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state.incomplete),
                     _mm256_extracti128_si256(incomplete, 1));
    if (!_mm256_testz_si256(error, error)) {
        state.error = true;
    }
}

}  // namespace

bool utf8BlocksAvailable() {
    return __builtin_cpu_supports("ssse3");
}

void checkUtf8Blocks(Utf8BlockState& state, const uint8_t* data, size_t blockCount) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2 && blockCount >= 2) {
        const size_t pairs = blockCount / 2;
        checkUtf8Blocks32(state, data, pairs);
        data += 32 * pairs;
        blockCount -= 2 * pairs;
    }
    checkUtf8Blocks16(state, data, blockCount);
}

#else

bool utf8BlocksAvailable() {
    return false;
}

void checkUtf8Blocks(Utf8BlockState& state, const uint8_t*, size_t) {
    state.error = true;  // never called where utf8BlocksAvailable() is false
}

#endif

bool utf8BlocksComplete(const Utf8BlockState& state) {
    for (const uint8_t byte : state.incomplete) {
        if (byte != 0) {
            return false;
        }
    }
    return !state.error;
}

}  // namespace korvane
