#include "platform/mdb/TableSchema.h"

#include <algorithm>
#include <unordered_set>

namespace korvane {

namespace {

constexpr int kParameterAttribute = 2;

std::unordered_set<int32_t> queriesWithParameters(const std::vector<QueryDefRow>& rows) {
    std::unordered_set<int32_t> ids;
    for (const QueryDefRow& row : rows) {
        if (row.attribute == kParameterAttribute) {
            ids.insert(row.objectId);
        }
    }
    return ids;
}

bool listedQuery(const CatalogueObject& object, const std::unordered_set<int32_t>& withParameters) {
    return object.kind() == DbObjectKind::Query && (object.flags & 0xF0u) == 0 &&
           !object.name.startsWith(QLatin1Char('~')) && withParameters.count(object.id) == 0;
}

}  // namespace

bool isListedSelectQuery(const CatalogueObject& object, const std::vector<QueryDefRow>& queryRows) {
    return listedQuery(object, queriesWithParameters(queryRows));
}

std::vector<TableSchemaRow> tableSchemaRows(const QueryCatalogue& catalogue) {
    const std::unordered_set<int32_t> withParameters = queriesWithParameters(catalogue.queryRows);
    std::vector<TableSchemaRow> rows;
    for (const CatalogueObject& object : catalogue.objects) {
        QString type;
        switch (object.kind()) {
            case DbObjectKind::Table:
                type = QStringLiteral("TABLE");
                break;
            case DbObjectKind::SystemTable:
                // The names do not tell: some system tables do not begin with "MSys", and users
                // may name a table "MSysLog". The flags do.
                if (object.flags & kFlagSystemObject) {
                    type = QStringLiteral("SYSTEM TABLE");
                } else {
                    type = QStringLiteral("ACCESS TABLE");
                }
                break;
            case DbObjectKind::LinkedAccess:
                type = QStringLiteral("LINK");
                break;
            case DbObjectKind::LinkedOdbc:
                type = QStringLiteral("PASS-THROUGH");
                break;
            case DbObjectKind::Query:
                if (listedQuery(object, withParameters)) {
                    type = QStringLiteral("VIEW");
                }
                break;
            default:
                break;
        }
        if (!type.isEmpty()) {
            rows.push_back({type, object.name});
        }
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const TableSchemaRow& a, const TableSchemaRow& b) {
                         if (a.type != b.type) {
                             return a.type < b.type;
                         }
                         return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
                     });
    return rows;
}

}  // namespace korvane
