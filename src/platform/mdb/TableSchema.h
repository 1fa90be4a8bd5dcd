#pragma once
// The table schema of a database (the rows a Jet provider gives for schema kind 20): which
// catalogue objects are tables, system tables, links and views, in the provider's order.

#include <QString>
#include <vector>

#include "platform/accessquery/AccessQuery.h"

namespace korvane {

struct TableSchemaRow {
    QString type;  // "TABLE", "SYSTEM TABLE", "ACCESS TABLE", "LINK", "PASS-THROUGH", "VIEW"
    QString name;
};

// A query object that the schema lists as a VIEW: a select query (no kind bits in
// Flags & 0xF0), not a hidden record-source query ("~" name), and without parameters
// (no attribute-2 rows in MSysQueries).
bool isListedSelectQuery(const CatalogueObject& object, const std::vector<QueryDefRow>& queryRows);

// Every listed object, ordered by type, then by name ignoring letter case. Objects of other
// kinds (forms, reports, modules, action and parameter queries) are not listed.
std::vector<TableSchemaRow> tableSchemaRows(const QueryCatalogue& catalogue);

}  // namespace korvane
