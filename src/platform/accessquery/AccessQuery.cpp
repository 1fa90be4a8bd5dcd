#include "platform/accessquery/AccessQuery.h"

namespace korvane {

AccessSqlResult rebuildAccessSql(int32_t, const std::vector<QueryDefRow>&) {
    return {QString(), QStringLiteral("not built yet")};
}

std::optional<QString> runSelectQuery(const QString& queryName, const QueryCatalogue&, TableSource&,
                                      QueryRowSink&) {
    return QStringLiteral("選択クエリー(%1)を実行できません。").arg(queryName);
}

}  // namespace korvane
