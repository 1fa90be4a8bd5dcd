#pragma once
// The FROM clause of a SELECT (sources joined the way Access nests them, RIGHT JOIN written as
// a LEFT JOIN with the sides swapped) and the reading of output column expressions that are
// bare names or stars.

#include <QString>

#include "platform/accessquery/QueryDefinition.h"
#include "platform/accessquery/QueryScope.h"

namespace korvane {

// The SQL of the FROM clause (without the word FROM).
Result<QString> buildFromSql(QueryScope& scope, const QueryDefinition& def);

// "Customers.City" or "[City]": the column name Access gives an output column that is a bare
// column reference; empty for any other expression.
QString bareColumnName(const QString& expression);

// "Customers.*" or "*": true with the source key (empty for all sources).
bool starColumn(const QString& expression, QString& key);

}  // namespace korvane
