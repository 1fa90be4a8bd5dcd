#pragma once
// Puts the lines chosen in the CSV display-range dialog into the panes: the file node, the
// column headers and one row per line.

#include <QString>
#include <cstdint>
#include <memory>

#include "csv/CsvLines.h"
#include "csv/CsvTexts.h"

namespace korvane {

class TreePane;
class ListPane;

// What the display-range dialog leaves for the loader.
struct CsvChoice {
    int64_t recView = 0;    // lines to show, the title line included
    int64_t itemCount = 0;  // the widest line's field count
    bool isTitle = false;   // the first line holds the column titles
};

// Fills both panes from `lines`. A choice of no lines shows the no-records message and leaves
// the panes as they are. Rows are read from the file as they are shown; when a read finds the
// file changed since it was counted, FileChangedMessage is shown once.
void ShowCsvLines(const QString& path, const std::shared_ptr<const CsvLines>& lines,
                  const CsvChoice& choice, TreePane& tree, ListPane& list);

}  // namespace korvane
