#include "csv/CsvMasks.h"

#if defined(__x86_64__) || defined(__i386__)
#define KORVANE_CSV_MASKS_X86 1
#include <immintrin.h>
#endif

namespace korvane {

namespace {

constexpr size_t kBlock = 64;

void masksScalar(const char* data, size_t blocks, CsvMasks* out) {
    for (size_t b = 0; b < blocks; ++b) {
        const char* block = data + b * kBlock;
        CsvMasks masks{0, 0, 0, 0};
        for (size_t i = 0; i < kBlock; ++i) {
            const uint64_t bit = 1ull << i;
            switch (block[i]) {
                case '"':
                    masks.quote |= bit;
                    break;
                case ',':
                    masks.comma |= bit;
                    break;
                case '\r':
                    masks.cr |= bit;
                    break;
                case '\n':
                    masks.lf |= bit;
                    break;
                default:
                    break;
            }
        }
        out[b] = masks;
    }
}

#if defined(KORVANE_CSV_MASKS_X86)

__attribute__((target("sse2"))) inline uint64_t bitsOf16(__m128i bytes, __m128i wanted, int shift) {
    return static_cast<uint64_t>(
               static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted))))
           << shift;
}

__attribute__((target("sse2"))) void masksSse2(const char* data, size_t blocks, CsvMasks* out) {
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (size_t b = 0; b < blocks; ++b) {
        const char* block = data + b * kBlock;
        CsvMasks masks{0, 0, 0, 0};
        for (int part = 0; part < 4; ++part) {
            const __m128i bytes =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + part * 16));
            const int shift = part * 16;
            masks.quote |= bitsOf16(bytes, quote, shift);
            masks.comma |= bitsOf16(bytes, comma, shift);
            masks.cr |= bitsOf16(bytes, cr, shift);
            masks.lf |= bitsOf16(bytes, lf, shift);
        }
        out[b] = masks;
    }
}

__attribute__((target("avx2"))) inline uint64_t bitsOf64(__m256i low, __m256i high,
                                                         __m256i wanted) {
    const auto lowBits =
        static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, wanted)));
    const auto highBits =
        static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, wanted)));
    return static_cast<uint64_t>(lowBits) | (static_cast<uint64_t>(highBits) << 32);
}

__attribute__((target("avx2"))) void masksAvx2(const char* data, size_t blocks, CsvMasks* out) {
    const __m256i quote = _mm256_set1_epi8('"');
    const __m256i comma = _mm256_set1_epi8(',');
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    for (size_t b = 0; b < blocks; ++b) {
        const char* block = data + b * kBlock;
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + 32));
        out[b] = CsvMasks{bitsOf64(low, high, quote), bitsOf64(low, high, comma),
                          bitsOf64(low, high, cr), bitsOf64(low, high, lf)};
    }
}

#endif

}  // namespace

CsvScanMethod fastestCsvScanMethod() {
#if defined(KORVANE_CSV_MASKS_X86)
    static const CsvScanMethod fastest =
        __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt") ? CsvScanMethod::Avx2
        : __builtin_cpu_supports("sse2")                                   ? CsvScanMethod::Sse2
                                                                           : CsvScanMethod::Scalar;
    return fastest;
#else
    return CsvScanMethod::Scalar;
#endif
}

CsvScanMethod runnableCsvScanMethod(CsvScanMethod method) {
    const CsvScanMethod fastest = fastestCsvScanMethod();
    return static_cast<int>(method) <= static_cast<int>(fastest) ? method : fastest;
}

void findCsvMasks(CsvScanMethod method, const char* data, size_t blocks, CsvMasks* out) {
#if defined(KORVANE_CSV_MASKS_X86)
    switch (method) {
        case CsvScanMethod::Avx2:
            masksAvx2(data, blocks, out);
            return;
        case CsvScanMethod::Sse2:
            masksSse2(data, blocks, out);
            return;
        case CsvScanMethod::Scalar:
            break;
    }
#else
    (void)method;
#endif
    masksScalar(data, blocks, out);
}

}  // namespace korvane
