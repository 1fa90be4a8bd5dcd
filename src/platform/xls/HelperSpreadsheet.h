#pragma once
// Workbooks served by korvane-xls-reader, so that a workbook that makes the reader crash or loop
// ends the helper and not the viewer. The proxy fetches cells in bands of rows and answers each
// cellText from what it fetched; the helper's death, silence or garbage becomes the failure of
// the open or of the cell asked for.

#include <QString>
#include <memory>

#include "platform/xls/Spreadsheet.h"

namespace korvane::xls {

// GetObject's opener for the program: the workbook at `path`, read by the helper process.
Result<std::unique_ptr<SpreadsheetWorkbook>> openInHelper(const QString& path);

}  // namespace korvane::xls
