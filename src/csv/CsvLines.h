#pragma once
// The counted lines of one CSV or TXT file: how many there are, the widest line's field count,
// the encoding, and where to find any line again. The display-range dialog counts them once;
// the loader shows rows from the same lines, so both always agree on where lines are.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

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

    // The bytes of line `line` (0-based) without its line end, at most `maxBytes` of them (all
    // when negative). Empty when the line is out of range or can no longer be read. `cut` tells
    // whether the line was longer than maxBytes.
    QByteArray lineBytes(int64_t line, int64_t maxBytes = -1, bool* cut = nullptr) const;
    QString lineText(int64_t line, int64_t maxBytes = -1) const;

private:
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

// Reads the whole file once and counts its lines and fields. `progress` gets the share done now
// and then and answers false to stop (then the status is Cancelled).
CsvScan scanCsvLines(std::shared_ptr<const TextFileReader> reader,
                     const std::function<bool(double)>& progress = {});

}  // namespace korvane
