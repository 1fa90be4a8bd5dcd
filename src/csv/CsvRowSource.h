#pragma once
// The rows of the list pane for a CSV or TXT file: each row is one counted line, split into its
// fields only when the view asks for it, so showing millions of lines costs no string per cell.

#include <cstdint>
#include <memory>

#include "csv/CsvLines.h"
#include "shell/ListPane.h"

namespace korvane {

class CsvRowSource : public ListRowSource {
public:
    // Row 0 is line `firstLine` (0-based) of the file.
    CsvRowSource(std::shared_ptr<const CsvLines> lines, int64_t firstLine);

    // The fields SplitCsvLine cuts from the row's line, at most maxCount of them.
    QStringList subItems(int64_t row, int maxCount) const override;

private:
    std::shared_ptr<const CsvLines> m_lines;
    int64_t m_firstLine;
};

}  // namespace korvane
