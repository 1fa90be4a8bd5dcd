#pragma once
// One piece (chunk) of a CSV file counted on its own, so that the chunks of a large file can be
// counted at the same time on every core and joined in file order afterwards.
//
// A chunk may begin inside a line, even inside a quoted field or a multi-byte character. Lines
// never depend on quotes (a field never spans lines), so only the line the chunk begins in is
// left open: its bytes up to the first line end (the head) are summed up for both quote states
// the chunk could begin in, and the join picks the right one. Every line that starts in the
// chunk is counted as a whole, the last one (the tail) up to the chunk's end.

#include <atomic>
#include <cstdint>
#include <vector>

#include "csv/CsvMasks.h"
#include "text/TextFile.h"

namespace korvane {

struct CsvChunk {
    uint64_t begin = 0;
    uint64_t end = 0;  // [begin, end); lowered when the file turned out shorter

    bool failed = false;     // a read failed
    bool cutShort = false;   // the file ended before `end` (it was cut short meanwhile)
    bool sawCr = false;      // LF line ends were assumed, and a CR was found
    bool continues = false;  // begins inside a line that started in an earlier chunk

    // The head, when `continues`: the bytes from `begin` up to headEnd (or the whole chunk).
    bool headEnds = false;  // the line ends in this chunk, at headEnd (its CR or LF)
    uint64_t headEnd = 0;
    int64_t headCommas[2] = {0, 0};  // commas with an even / odd number of quotes before them
    bool headQuotesOdd = false;      // the head holds an odd number of quotes
    bool headEndsWithComma = false;  // the head's last byte is a comma ...
    bool headCommaOdd = false;       // ... with an odd number of quotes before it

    // The lines that start in the chunk and end in it.
    int64_t lines = 0;
    int64_t widest = 0;
    std::vector<uint64_t> startBits;  // bit (start - begin) set for each of them
    // The tail: the line left open at the end of the chunk.
    uint64_t tailStart = 0;
    int64_t tailCommas = 0;
    bool tailInQuotes = false;
    bool tailLastWasSeparator = false;

    // UTF-8: the chunk checks the characters whose first byte lies in it, [utf8Begin, utf8End).
    bool utf8Checked = false;
    bool utf8Valid = true;
    uint64_t utf8Begin = 0;
    uint64_t utf8End = 0;
};

struct CsvChunkJob {
    const TextFileReader* reader = nullptr;
    LineBreaks breaks = LineBreaks::Lf;
    CsvScanMethod method = CsvScanMethod::Scalar;
    uint64_t firstLineStart = 0;  // after a byte order mark
    bool checkUtf8 = true;        // false for a file with a byte order mark
    // Set by the first chunk found not UTF-8: the others need not check any more.
    std::atomic<bool>* notUtf8 = nullptr;
    std::vector<uint64_t>* blockSums = nullptr;  // one per reader block; chunks fill their own
};

// Counts the chunk [chunk.begin, chunk.end). `buffer` is reused between calls.
void countCsvChunk(const CsvChunkJob& job, std::vector<char>& buffer, CsvChunk& chunk);

// Joins counted chunks in file order into the counts of the whole file.
class CsvChunkJoin {
public:
    CsvChunkJoin(uint64_t firstLineStart, int64_t linesPerMark);

    void add(const CsvChunk& chunk);
    // After the last chunk: the file ends at `end`.
    void finish(uint64_t end);

    int64_t lineCount() const { return m_lineCount; }
    int64_t maxFieldCount() const { return m_maxFields; }
    // Every chunk was UTF-8 and they fit together at every border.
    bool utf8Valid() const { return m_utf8Valid && m_utf8Covered == m_utf8End; }
    std::vector<uint64_t> takeMarks() { return std::move(m_marks); }

private:
    void endLine(uint64_t start, int64_t fields);
    void addStarts(const CsvChunk& chunk);
    void joinUtf8(const CsvChunk& chunk);

    int64_t m_linesPerMark;
    int64_t m_lineCount = 0;
    int64_t m_maxFields = 0;
    std::vector<uint64_t> m_marks;
    // The line still open.
    uint64_t m_lineStart;
    int64_t m_commas = 0;
    bool m_inQuotes = false;
    bool m_lastWasSeparator = false;
    // UTF-8: checked so far up to m_utf8Covered.
    bool m_utf8Valid = true;
    uint64_t m_utf8Covered = 0;
    uint64_t m_utf8End = 0;
};

}  // namespace korvane
