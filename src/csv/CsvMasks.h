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

enum class CsvScanMethod { Scalar, Sse2, Avx2 };

// The fastest method this CPU runs (checked once, at run time; AVX2 needs POPCNT too).
CsvScanMethod fastestCsvScanMethod();
// `method`, or the fastest below it that this CPU runs.
CsvScanMethod runnableCsvScanMethod(CsvScanMethod method);

// The masks of `blocks` blocks of 64 bytes.
void findCsvMasks(CsvScanMethod method, const char* data, size_t blocks, CsvMasks* out);

}  // namespace korvane
