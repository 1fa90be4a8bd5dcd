#pragma once
// Writes every row of one table or select query of the open database to a CSV file.

#include <QString>

#include "export/ExportRowSource.h"

namespace korvane {

// Reads `sourceName` through a connection of its own opened from the program's
// DatabaseConnectionString and writes it to `outputPath`, with the column names first when
// `isTitle` and the source has rows. A failure names the file or the source and the cause it
// stands on (ExportTexts.h); ValuesDeclined when the person cancelled a value the query asks
// for (the dialog has said so). An existing file is then left as it was.
Status ExportToCsv(const QString& outputPath, const QString& sourceName, bool isTitle);

// The same with the database reached through `opener`, for other engines and for tests.
Status ExportToCsv(const QString& outputPath, const QString& sourceName, bool isTitle,
                   const QString& connectionString, const ExportSourceOpener& opener);

}  // namespace korvane
