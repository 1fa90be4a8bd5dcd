#pragma once
// The bytes that matter to the CSV line count, found 64 at a time: one bit per byte for the
// double quote, the comma, CR and LF. Three ways give the same bits: AVX2 and SSE2 where the CPU
// has them, and a byte-by-byte loop that is the reference for the other two.

#include <cstddef>
#include <cstdint>

namespace korvane {

struct CsvMasks {
    uint64_t quote;
    uint64_t comma;
    uint64_t cr;
    uint64_t lf;
};

// Bits set in a mask. Without a CPU-specific build __builtin_popcountll becomes a library call
// and the bit trick is inline; the loops built for CPUs with POPCNT ask for the instruction.
template <bool kHardwareCount>
inline int popCount(uint64_t x) {
    if constexpr (kHardwareCount) {
        return __builtin_popcountll(x);
    } else {
        x = x - ((x >> 1) & 0x5555555555555555ull);
        x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
        x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
        return static_cast<int>((x * 0x0101010101010101ull) >> 56);
    }
}

enum class CsvScanMethod { Scalar, Sse2, Avx2 };

// The fastest method this CPU runs (checked once, at run time; AVX2 needs POPCNT too).
CsvScanMethod fastestCsvScanMethod();
// `method`, or the fastest below it that this CPU runs.
CsvScanMethod runnableCsvScanMethod(CsvScanMethod method);

// The masks of `blocks` blocks of 64 bytes.
void findCsvMasks(CsvScanMethod method, const char* data, size_t blocks, CsvMasks* out);

}  // namespace korvane
