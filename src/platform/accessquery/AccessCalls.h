#pragma once
// Access functions called in expressions, as SQLite SQL.

#include <vector>

#include "platform/accessquery/AccessExpr.h"

namespace korvane {

// Translates a call of the Access function `name` with translated arguments. Fails naming the
// function when it is unknown here or gets the wrong number of arguments.
Result<SqlPiece> translateCall(const QString& name, const std::vector<SqlPiece>& args);

}  // namespace korvane
