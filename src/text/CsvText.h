#pragma once
// Path and CSV line operations shared by the viewers, and the CSV value encoder of the export.

#include <QString>
#include <QStringList>
#include <QStringView>

namespace korvane {

struct PathParts {
    QString folder;
    QString baseName;
    QString extension;
};

// Cuts a path into folder, base name and extension. Both "\" and "/" separate folders.
PathParts SplitPath(const QString& path);

// Cuts one line (without its line end) into its fields.
QStringList SplitCsvLine(QStringView line);

// One field's value from its raw text: leading blanks skipped, one enclosing quote pair removed.
QString CleanField(QStringView raw);

// The text without one enclosing pair of double quotes.
QString StripQuotes(QStringView text);

// The text to write for one value or column name of an exported CSV file (RFC 4180 quoting).
QString QuoteCsvField(const QString& value);

}  // namespace korvane
