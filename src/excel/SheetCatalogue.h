#pragma once
// The workbook's sheet catalogue: SheetNames refilled with the names of every sheet of the
// workbook at `path`, in workbook order.

#include <QString>
#include <memory>

#include "platform/xls/Spreadsheet.h"

namespace korvane {

// Opens the workbook and refills SheetNames; the workbook stays open so that the loader reads
// its cells from the same reading of the file. After a failure the names read so far stay; the
// caller reports it with WorkbookFailureMessage.
xls::Result<std::unique_ptr<xls::SpreadsheetWorkbook>> OpenSheetCatalogue(const QString& path);

// The catalogue alone: true when SheetNames holds the workbook's sheets and the workbook has
// been closed again; false after a failure, which has then been reported with one message.
bool ReadSheetNames(const QString& path);

// The name of the workbook's window: the file's base name + "." + extension, both taken from
// the file's own name (after the last "/"), so that a backslash or a drive-like "C:" in a Linux
// file name stays part of the name.
QString WorkbookWindowName(const QString& path);

}  // namespace korvane
