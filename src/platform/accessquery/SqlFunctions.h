#pragma once
// The Access operators and functions as SQLite functions (all named ak_...), and the collation
// that compares text without regard to letter case for all of Unicode.

#include <sqlite3.h>

#include <QString>
#include <optional>

#include "platform/Result.h"

namespace korvane {

// Registers everything on `db`; a failure when SQLite refuses one of them. A function that
// stops a statement leaves its failure in `raised` (see resultError), which must outlive `db`.
Status registerAccessFunctions(sqlite3* db, std::optional<Failure>& raised);

// True when `name` is one of the SQL functions the translator may write (ours and the few
// SQLite built-ins it uses); the query's authorizer allows no other function.
bool isAllowedSqlFunction(const char* name);

// The registrations of one group of functions.
struct SqlFunctionDef {
    const char* name;
    int args;  // -1: any number (the translator checks the count)
    void (*scalar)(sqlite3_context*, int, sqlite3_value**);
    bool deterministic;
};
const SqlFunctionDef* textFunctions(int& count);
const SqlFunctionDef* dateFunctions(int& count);
const SqlFunctionDef* numberFunctions(int& count);

}  // namespace korvane
