#include "text/CsvText.h"

namespace korvane {
// Placeholder bodies, replaced by the real helpers.
PathParts SplitPath(const QString&) { return {}; }
QStringList SplitCsvLine(QStringView) { return {}; }
QString CleanField(QStringView raw) { return raw.toString(); }
QString StripQuotes(QStringView text) { return text.toString(); }
QString QuoteCsvField(const QString& value) { return value; }
}  // namespace korvane
