#pragma once
// The database's catalogue: whether the file opens, with which of the two connection strings,
// and its user tables and select queries in TableNames and QueryNames.

#include <QString>

namespace korvane {

// The two connection strings, tried in this order; the path is appended unchanged.
QString Jet351ConnectionString(const QString& path);
QString Jet40ConnectionString(const QString& path);

// True when the database opened and its schema was read: TableNames and QueryNames describe it
// and DatabaseConnectionString holds the string that opened it. False when neither string
// opens the file (DatabaseConnectionString then holds the second one) or when the schema
// cannot be read; TableNames and QueryNames are then left as they were. Shows no message.
bool ReadDatabaseCatalogue(const QString& path);

}  // namespace korvane
