#pragma once
// Writes every row of one table or select query of the open database to a CSV file.

#include <QString>
#include <optional>

#include "export/ExportRowSource.h"

namespace korvane {

// Reads `sourceName` through a connection of its own opened from the program's
// DatabaseConnectionString and writes it to `outputPath`, with the column names first when
// `isTitle` and the source has rows. Nothing: the file is written. Otherwise the message for
// the user, naming the file or the source and the cause, or an empty text when the person
// cancelled a value the query asks for (the dialog has said so); an existing file is then left
// as it was.
std::optional<QString> ExportToCsv(const QString& outputPath, const QString& sourceName,
                                   bool isTitle);

// The same with the database reached through `opener`, for other engines and for tests.
std::optional<QString> ExportToCsv(const QString& outputPath, const QString& sourceName,
                                   bool isTitle, const QString& connectionString,
                                   const ExportSourceOpener& opener);

}  // namespace korvane
