#pragma once
// What the database side of the window says.

#include <QString>

namespace korvane {

enum class DatabaseMessage {
    CannotHandleFile,  // %1 file
    NoTables,          // %1 file
    Loading,
    Cancelled,
    RecordCountIsAWholeNumber,
    NothingChosen,
};
QString databaseMessage(DatabaseMessage message, const QString& path = QString());

}  // namespace korvane
