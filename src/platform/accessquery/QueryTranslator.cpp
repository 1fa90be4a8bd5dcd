#include "platform/accessquery/QueryTranslator.h"

#include <algorithm>

#include "platform/accessquery/QueryScope.h"

namespace korvane {

using Kind = DbValue::Kind;

namespace {

constexpr int kTypeLocalTable = 1;
constexpr int kTypeQuery = 5;

bool isSourceType(int type) {
    return type == kTypeLocalTable || type == kTypeQuery || type == 4 || type == 6;
}

QString queryTypeName(int type) {
    switch (static_cast<QueryType>(type)) {
        case QueryType::MakeTable:
            return QStringLiteral("テーブル作成クエリー");
        case QueryType::Append:
            return QStringLiteral("追加クエリー");
        case QueryType::Update:
            return QStringLiteral("更新クエリー");
        case QueryType::Delete:
            return QStringLiteral("削除クエリー");
        case QueryType::Crosstab:
            return QStringLiteral("クロス集計クエリー");
        case QueryType::DataDefinition:
            return QStringLiteral("データ定義クエリー");
        case QueryType::PassThrough:
            return QStringLiteral("パススルークエリー");
        case QueryType::Union:
            return QStringLiteral("ユニオンクエリー");
        default:
            return QStringLiteral("クエリーの種類 %1").arg(type);
    }
}

}  // namespace

const CatalogueObject* findCatalogueObject(const QueryCatalogue& catalogue, const QString& name) {
    const CatalogueObject* caseless = nullptr;
    for (const CatalogueObject& object : catalogue.objects) {
        if (!isSourceType(object.type)) {
            continue;
        }
        if (object.name == name) {
            return &object;
        }
        if (!caseless && object.name.compare(name, Qt::CaseInsensitive) == 0) {
            caseless = &object;
        }
    }
    return caseless;
}

bool QueryTranslator::translate(const CatalogueObject& query, TranslatedSelect& out,
                                QString& error) {
    m_params = SqlParams();
    m_openQueries.clear();
    m_aliasCount = 0;
    return translateQuery(query, 0, out, error);
}

bool QueryTranslator::translateQuery(const CatalogueObject& query, int depth, TranslatedSelect& out,
                                     QString& error) {
    if (depth > QueryLimits::kMaxNesting) {
        error = QStringLiteral("クエリーの入れ子が深すぎます");
        return false;
    }
    if (std::find(m_openQueries.begin(), m_openQueries.end(), query.id) != m_openQueries.end()) {
        error = QStringLiteral("自分自身を参照するクエリー %1").arg(quoteAccessName(query.name));
        return false;
    }
    QueryDefinition def;
    if (!collectQueryDefinition(query.id, m_catalogue.queryRows, def, error)) {
        return false;
    }
    if (def.type != static_cast<int>(QueryType::Select)) {
        error = queryTypeName(def.type);
        return false;
    }
    m_openQueries.push_back(query.id);
    const bool ok = translateSelect(def, depth, out, error);
    m_openQueries.pop_back();
    if (!ok && depth > 0) {
        error = QStringLiteral("クエリー %1 の中の %2").arg(quoteAccessName(query.name), error);
    }
    return ok;
}

bool QueryTranslator::resolveSource(const QuerySourceDef& def, int depth, ScopeSource& out,
                                    QString& error) {
    if (!def.database.isEmpty()) {
        error = QStringLiteral("外部データベースのテーブル %1").arg(quoteAccessName(def.name));
        return false;
    }
    const CatalogueObject* object = findCatalogueObject(m_catalogue, def.name);
    if (!object) {
        error =
            QStringLiteral("テーブルまたはクエリー %1 がありません").arg(quoteAccessName(def.name));
        return false;
    }
    out.key = def.key();
    out.sqlAlias = nextAlias();
    if (object->type == kTypeLocalTable) {
        const LoadedTable* table = nullptr;
        if (!m_tables.table(object->name, table, error)) {
            return false;
        }
        out.isTable = true;
        out.fromSql = table->sqlName + QStringLiteral(" AS ") + out.sqlAlias;
        for (const LoadedColumn& column : table->columns) {
            ScopeColumn c{column.name, column.kind,
                          out.sqlAlias + QLatin1Char('.') + column.sqlName, QString()};
            if (!column.exactSqlName.isEmpty()) {
                c.exactSql = out.sqlAlias + QLatin1Char('.') + column.exactSqlName;
            }
            out.columns.push_back(c);
        }
        return true;
    }
    if (object->type == kTypeQuery) {
        TranslatedSelect inner;
        if (!translateQuery(*object, depth + 1, inner, error)) {
            return false;
        }
        out.fromSql = QLatin1Char('(') + inner.sql + QStringLiteral(") AS ") + out.sqlAlias;
        for (const OutputColumn& column : inner.columns) {
            ScopeColumn c{column.name, column.kind,
                          out.sqlAlias + QLatin1Char('.') + column.sqlName, QString()};
            if (!column.exactSqlName.isEmpty()) {
                c.exactSql = out.sqlAlias + QLatin1Char('.') + column.exactSqlName;
            }
            out.columns.push_back(c);
        }
        return true;
    }
    error = QStringLiteral("リンクテーブル %1").arg(quoteAccessName(object->name));
    return false;
}

}  // namespace korvane
