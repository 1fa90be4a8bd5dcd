#pragma once
// Reads a SELECT statement written in Access SQL - a subquery inside an expression, or a
// derived table in a FROM clause - into the clauses a saved query's rows give, so that the
// translator handles both alike. Expressions stay text (cut from the statement as written).

#include <QString>

#include "platform/Result.h"
#include "platform/accessquery/QueryDefinition.h"

namespace korvane {

// SELECT [ALL | DISTINCT | DISTINCTROW] [TOP n [PERCENT]] columns FROM sources
// [WHERE ...] [GROUP BY ...] [HAVING ...] [ORDER BY ...]. Sources may be joined (INNER, LEFT,
// RIGHT, nested in parentheses), listed with commas, aliased, or be derived tables.
Result<QueryDefinition> parseAccessSelect(const QString& text);

}  // namespace korvane
