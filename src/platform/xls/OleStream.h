#pragma once
// Finds the workbook stream of an .xls file: the "Workbook" (Excel 97-2003) or "Book"
// (Excel 5.0/95) stream of the OLE2 compound file, read through libgsf. A file that holds a bare
// BIFF stream without a container is taken as it is, so its version can be told.

#include <QByteArray>
#include <QString>

#include "platform/xls/XlsResult.h"

namespace korvane::xls {

struct WorkbookStream {
    QByteArray bytes;
    QString streamName;  // "Workbook", "Book", or empty for a bare stream
};

Result<WorkbookStream> readWorkbookStream(const QString& path);
// The same for a file already in memory (tests and the fuzz target).
Result<WorkbookStream> readWorkbookStreamFromBytes(const QByteArray& fileBytes);

}  // namespace korvane::xls
