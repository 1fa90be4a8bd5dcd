#pragma once
// The counted lines of one CSV or TXT file: how many there are, the widest line's field count,
// the encoding, and where to find any line again. The display-range dialog counts them once;
// the loader shows rows from the same lines, so both always agree on where lines are.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "csv/CsvMasks.h"
#include "text/TextFile.h"

namespace korvane {

class CsvLines {
public:
    CsvLines(std::shared_ptr<const TextFileReader> reader, TextEncoding encoding, LineBreaks breaks,
             int64_t lineCount, int64_t maxFieldCount, std::vector<uint64_t> marks);

    int64_t lineCount() const { return m_lineCount; }
    // The largest number of fields SplitCsvLine finds in any one line.
    int64_t maxFieldCount() const { return m_maxFieldCount; }
    TextEncoding encoding() const { return m_encoding; }
    LineBreaks lineBreaks() const { return m_breaks; }

    // The text of line `line` (0-based) without its line end, from at most `maxBytes` of its
    // bytes (all when negative; a character the cut splits is dropped). None when the line is
    // out of range or cannot be read as it was counted.
    std::optional<QString> readLine(int64_t line, int64_t maxBytes = -1) const;
    // The same, empty when there is none.
    QString lineText(int64_t line, int64_t maxBytes = -1) const;

    // The file was found changed where it stands since it was counted: lines not read before
    // now read as empty.
    bool fileChanged() const { return m_reader && m_reader->changed(); }

    // The start of every CsvLineCounter::kLinesPerMark-th line, as counted.
    const std::vector<uint64_t>& marks() const { return m_marks; }

private:
    // The bytes of the line; `cut` tells whether it was longer than maxBytes.
    std::optional<QByteArray> readLineBytes(int64_t line, int64_t maxBytes, bool* cut) const;

    std::shared_ptr<const TextFileReader> m_reader;
    TextEncoding m_encoding;
    LineBreaks m_breaks;
    int64_t m_lineCount;
    int64_t m_maxFieldCount;
    std::vector<uint64_t> m_marks;  // start of every CsvLineCounter::kLinesPerMark-th line
    // The line read last and where it and the one after it start: rows are mostly read in
    // order, and a view often asks for the same row again.
    mutable int64_t m_cursorLine = -1;
    mutable uint64_t m_cursorStart = 0;
    mutable uint64_t m_cursorNext = 0;
};

struct CsvScan {
    enum class Status { Done, Cancelled, Failed };
    Status status = Status::Failed;
    std::shared_ptr<const CsvLines> lines;  // set when Done
};

// How the load pass runs; every choice gives the same result.
struct CsvScanOptions {
    CsvScanMethod method = fastestCsvScanMethod();  // lowered to what the CPU runs
    int threads = 0;                                // 0: one per core
    uint64_t chunkBytes = 0;                        // 0: the default size
    std::vector<uint64_t> cuts;                     // when set, exactly these chunk borders
};

// Reads the whole file once and counts its lines and fields, in chunks on every core; from then
// on the reader checks what it reads against what this pass saw. `progress` gets the share done
// now and then, on the calling thread, and answers false to stop (then the status is
// Cancelled).
CsvScan scanCsvLines(std::shared_ptr<TextFileReader> reader,
                     const std::function<bool(double)>& progress = {},
                     const CsvScanOptions& options = {});

// The same count in one plain pass, byte by byte: the reference the fast pass is checked
// against.
CsvScan scanCsvLinesReference(std::shared_ptr<TextFileReader> reader,
                              const std::function<bool(double)>& progress = {});

}  // namespace korvane
