#pragma once
// The export's rows read through the data-access component: a connection of its own, a
// recordset on the table or select query, one row at a time.

#include "export/ExportRowSource.h"

namespace korvane {

Result<std::unique_ptr<ExportRowSource>> openRecordsetExportSource(const QString& connectionString,
                                                                   const QString& sourceName);

}  // namespace korvane
