#pragma once
// Counts the lines of CSV text and the fields SplitCsvLine would cut from each, straight from the
// bytes, 64 bytes at a time.
//
// The quote rules of SplitCsvLine make a comma a separator exactly when an even number of double
// quotes stand before it in its line, so a line has (separating commas + 1) fields, less 1 when
// it ends with a separating comma, and none when it is empty. Quotes, commas, CR and LF are
// single bytes in UTF-8 and in CP932 alike, so no decoding is needed to count.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "csv/CsvMasks.h"
#include "text/TextFile.h"

namespace korvane {

class CsvLineCounter {
public:
    // Every this many lines the counter notes where a line starts, so a line can be found again
    // by reading at most this many lines from a note.
    static constexpr int64_t kLinesPerMark = 32;

    // `firstLineStart` is the file position of the first line (after a byte order mark), or of
    // the first line of a piece of the file that is counted on its own.
    CsvLineCounter(LineBreaks breaks, uint64_t firstLineStart,
                   CsvScanMethod method = fastestCsvScanMethod());

    // Feeds the next bytes of the file. With LF line ends, feeding stops at the first CR: the file
    // then has CR line ends and must be counted again from the start (see sawCr()).
    void feed(const char* data, size_t size);
    // The end of the file: a last line without a line end is counted.
    void finish();

    bool sawCr() const { return m_sawCr; }
    int64_t lineCount() const { return m_lineCount; }
    int64_t maxFieldCount() const { return m_maxFields; }
    // The start of lines 0, kLinesPerMark, 2 * kLinesPerMark, ...
    const std::vector<uint64_t>& marks() const { return m_marks; }
    std::vector<uint64_t> takeMarks() { return std::move(m_marks); }

    // When set, receives the field count of every line (for checks against SplitCsvLine).
    void recordFieldCounts(std::vector<int64_t>* counts) { m_fieldCounts = counts; }
    // Instead of marks, sets bit (start - base) of `bitmap` for the start of every line that
    // ends; the bitmap must cover every position fed.
    void recordLineStarts(uint64_t* bitmap, uint64_t base) {
        m_startBits = bitmap;
        m_startBase = base;
    }

    // The line not yet ended: where it starts, its separating commas so far, whether an odd
    // number of quotes stand in it so far, and whether its last byte is a separating comma.
    uint64_t lineStart() const { return m_lineStart; }
    int64_t lineCommas() const { return m_commas; }
    bool inQuotes() const { return m_inQuotes; }
    bool lastWasSeparator() const { return m_lastWasSeparator; }

private:
    template <bool kHardwareCount>
    void countBlock(const CsvMasks& masks, int validLength);
    void feedAvx2(const char* data, size_t size);
    void endLine(uint64_t end, bool endsWithSeparator);

    LineBreaks m_breaks;
    CsvScanMethod m_method;
    uint64_t m_position = 0;   // file position of the next byte fed
    uint64_t m_lineStart = 0;  // file position of the current line's first byte
    int64_t m_commas = 0;      // separating commas so far in the current line
    bool m_inQuotes = false;   // an odd number of quotes so far in the current line
    bool m_lastWasSeparator = false;
    bool m_afterCr = false;  // the last byte fed was a CR: an LF next belongs to its line end
    bool m_sawCr = false;
    int64_t m_lineCount = 0;
    int64_t m_maxFields = 0;
    std::vector<uint64_t> m_marks;
    std::vector<int64_t>* m_fieldCounts = nullptr;
    uint64_t* m_startBits = nullptr;
    uint64_t m_startBase = 0;
};

}  // namespace korvane
