#pragma once
// The rows of the list pane for a CSV or TXT file: each row is one counted line, split into its
// fields only when the view asks for it, so showing millions of lines costs no string per cell.
// A row whose line can no longer be read as it was counted (the file changed where it stands)
// shows nothing, and the first time that happens the owner is told.

#include <cstdint>
#include <functional>
#include <memory>

#include "csv/CsvLines.h"
#include "shell/ListPane.h"

namespace korvane {

class CsvRowSource : public ListRowSource {
public:
    // Row 0 is line `firstLine` (0-based) of the file. `fileChanged` is called after a read
    // that finds the file changed (it may be called more than once).
    CsvRowSource(std::shared_ptr<const CsvLines> lines, int64_t firstLine,
                 std::function<void()> fileChanged = {});

    // The fields SplitCsvLine cuts from the row's line, at most maxCount of them.
    QStringList subItems(int64_t row, int maxCount) const override;
    bool lost(int64_t row) const override;

private:
    void noticeChange() const;

    std::shared_ptr<const CsvLines> m_lines;
    int64_t m_firstLine;
    std::function<void()> m_fileChanged;
};

}  // namespace korvane
