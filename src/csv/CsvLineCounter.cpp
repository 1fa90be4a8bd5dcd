#include "csv/CsvLineCounter.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#define KORVANE_COUNT_AVX2 1
#include <immintrin.h>
#endif

namespace korvane {

namespace {

constexpr size_t kBlock = 64;

// Bit i set when an odd number of bits 0..i of x are set.
inline uint64_t prefixXor(uint64_t x) {
    x ^= x << 1;
    x ^= x << 2;
    x ^= x << 4;
    x ^= x << 8;
    x ^= x << 16;
    x ^= x << 32;
    return x;
}

// Bits [from, to), 0 <= from <= to <= 64.
inline uint64_t bitsBetween(int from, int to) {
    const uint64_t below = to >= 64 ? ~0ull : (1ull << to) - 1;
    const uint64_t under = from >= 64 ? ~0ull : (1ull << from) - 1;
    return below & ~under;
}

inline bool bitAt(uint64_t x, int i) {
    return ((x >> i) & 1u) != 0;
}

inline uint64_t allBits(bool on) {
    return on ? ~0ull : 0;
}

}  // namespace

CsvLineCounter::CsvLineCounter(LineBreaks breaks, uint64_t firstLineStart, CsvScanMethod method)
    : m_breaks(breaks),
      m_method(runnableCsvScanMethod(method)),
      m_position(firstLineStart),
      m_lineStart(firstLineStart) {}

void CsvLineCounter::feed(const char* data, size_t size) {
#if defined(KORVANE_COUNT_AVX2)
    if (m_method == CsvScanMethod::Avx2) {
        feedAvx2(data, size);
        return;
    }
#endif
    // The masks of a few blocks at a time stay in the first-level cache.
    constexpr size_t kBatch = 64;
    CsvMasks masks[kBatch];
    size_t offset = 0;
    while (offset < size && !m_sawCr) {
        const size_t blocks = std::min(kBatch, (size - offset) / kBlock);
        if (blocks > 0) {
            findCsvMasks(m_method, data + offset, blocks, masks);
            for (size_t b = 0; b < blocks && !m_sawCr; ++b) {
                countBlock<false>(masks[b], static_cast<int>(kBlock));
            }
            offset += blocks * kBlock;
            continue;
        }
        // The tail goes through a padded copy; NUL bytes are none of the four that count.
        const size_t left = size - offset;
        char padded[kBlock] = {};
        std::memcpy(padded, data + offset, left);
        findCsvMasks(m_method, padded, 1, masks);
        countBlock<false>(masks[0], static_cast<int>(left));
        offset = size;
    }
}

#if defined(KORVANE_COUNT_AVX2)

namespace {

__attribute__((target("avx2"))) inline uint64_t bitsOf64(__m256i low, __m256i high, char wanted) {
    const __m256i match = _mm256_set1_epi8(wanted);
    const auto lowBits = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, match)));
    const auto highBits =
        static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, match)));
    return static_cast<uint64_t>(lowBits) | (static_cast<uint64_t>(highBits) << 32);
}

__attribute__((target("avx2"))) inline CsvMasks avx2MasksOf(const char* block) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + 32));
    return CsvMasks{bitsOf64(low, high, '"'), bitsOf64(low, high, ','), bitsOf64(low, high, '\r'),
                    bitsOf64(low, high, '\n')};
}

}  // namespace

// The whole loop built for AVX2 and POPCNT, with the counting inlined into it (flatten), so
// the masks stay in registers and the bit counts are single instructions.
__attribute__((target("avx2,popcnt"), flatten)) void CsvLineCounter::feedAvx2(const char* data,
                                                                              size_t size) {
    size_t offset = 0;
    while (offset + kBlock <= size && !m_sawCr) {
        countBlock<true>(avx2MasksOf(data + offset), static_cast<int>(kBlock));
        offset += kBlock;
    }
    if (offset < size && !m_sawCr) {
        char padded[kBlock] = {};
        std::memcpy(padded, data + offset, size - offset);
        countBlock<true>(avx2MasksOf(padded), static_cast<int>(size - offset));
    }
}

#endif

template <bool kHardwareCount>
void CsvLineCounter::countBlock(const CsvMasks& masks, int validLength) {
    const uint64_t base = m_position;
    uint64_t ends;
    if (m_breaks == LineBreaks::Lf) {
        if (masks.cr != 0) {
            m_sawCr = true;
            return;
        }
        ends = masks.lf;
    } else {
        ends = masks.cr;
        if (m_afterCr) {
            m_afterCr = false;
            if (bitAt(masks.lf, 0)) {
                m_lineStart = base + 1;  // the LF of a CR LF split across two blocks
            }
        }
    }

    // quotes: bit i set when an odd number of quotes stand in bits 0..i of this block.
    const uint64_t quotes = prefixXor(masks.quote);
    int segmentStart = 0;
    bool inQuotesAtStart = m_inQuotes;
    // The quote parity of the current line at each position of the segment from segmentStart.
    auto lineParity = [&](int start) {
        const bool before = start > 0 && bitAt(quotes, start - 1);
        return quotes ^ allBits(before) ^ allBits(inQuotesAtStart);
    };

    while (ends != 0) {
        const int end = __builtin_ctzll(ends);
        ends &= ends - 1;
        const uint64_t separators =
            masks.comma & bitsBetween(segmentStart, end) & ~lineParity(segmentStart);
        m_commas += popCount<kHardwareCount>(separators);
        const bool endsWithSeparator =
            end > segmentStart ? bitAt(separators, end - 1) : m_lastWasSeparator;
        endLine(base + static_cast<uint64_t>(end), endsWithSeparator);

        segmentStart = end + 1;
        inQuotesAtStart = false;
        m_lineStart = base + static_cast<uint64_t>(end) + 1;
        if (m_breaks == LineBreaks::CrOrCrLf) {
            if (segmentStart < validLength) {
                if (bitAt(masks.lf, segmentStart)) {
                    ++m_lineStart;
                }
            } else {
                m_afterCr = true;
            }
        }
    }

    if (segmentStart < validLength) {
        const uint64_t parity = lineParity(segmentStart);
        const uint64_t separators = masks.comma & bitsBetween(segmentStart, validLength) & ~parity;
        m_commas += popCount<kHardwareCount>(separators);
        m_inQuotes = bitAt(parity, validLength - 1);
        m_lastWasSeparator = bitAt(separators, validLength - 1);
    }
    m_position = base + static_cast<uint64_t>(validLength);
}

void CsvLineCounter::endLine(uint64_t end, bool endsWithSeparator) {
    const int64_t fields = end > m_lineStart ? m_commas + 1 - (endsWithSeparator ? 1 : 0) : 0;
    if (m_startBits != nullptr) {
        const uint64_t bit = m_lineStart - m_startBase;
        m_startBits[bit / 64] |= 1ull << (bit % 64);
    } else if (m_lineCount % kLinesPerMark == 0) {
        m_marks.push_back(m_lineStart);
    }
    if (m_fieldCounts != nullptr) {
        m_fieldCounts->push_back(fields);
    }
    m_maxFields = std::max(m_maxFields, fields);
    ++m_lineCount;
    m_commas = 0;
    m_inQuotes = false;
    m_lastWasSeparator = false;
}

void CsvLineCounter::finish() {
    if (!m_sawCr && m_position > m_lineStart) {
        endLine(m_position, m_lastWasSeparator);
        m_lineStart = m_position;
    }
}

}  // namespace korvane
