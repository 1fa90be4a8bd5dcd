#pragma once
// Why the data-access component could not read a database. The first causes are the reader
// helper's own (it sends their numbers in kError replies, so they keep their values); the rest
// arise in the viewer. Plain C++ so the reader needs no Qt; the texts are in MdbTexts.cpp.

#include <cstdint>

namespace korvane {

enum class MdbFault : uint32_t {
    // Sent by korvane-mdb-reader.
    CannotOpenFile = 1,
    CannotReadCatalogue = 2,
    NoSuchTable = 3,
    CannotReadTableDefinition = 4,
    CannotReadColumnDefinitions = 5,
    BrokenPageChain = 6,
    MovedRowNotFound = 7,
    CannotReadMovedRowPage = 8,
    CannotReadTablePage = 9,
    BrokenRow = 10,
    BrokenColumnOrder = 11,
    BrokenValue = 12,
    BrokenLongValue = 13,
    // The numbers a reader may send run up to here.
    LastFromReader = BrokenLongValue,

    // Found by the viewer.
    UnreadableErrorReply = 100,  // a kError reply that names no cause
    FileNotFound,
    LaterAccessFormat,
    TableNotFound,        // %1 table
    CannotOpenTable,      // %1 table, %2 why
    TableReadStopped,     // %1 table
    FarTooManyRows,       // %1 table, %2 declared rows
    CannotReadTable,      // %1 table, %2 why
    CannotBuildQuerySql,  // %1 query, %2 why
    NoTableOrQuery,       // %1 name
    ProviderNotFound,     // %1 provider
    NoFileInConnectionString,
    Jet4NeedsJet40,
    DatabaseNotOpen,
    UnknownSchema,          // %1 schema number
    LinkedTableUnreadable,  // %1 table
};

}  // namespace korvane
