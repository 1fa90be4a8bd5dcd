#pragma once
// Turns a saved select query (and the saved queries it reads from) into one SQLite SELECT
// over generated names: tables t1.., sources s1.., columns c1.., outputs o1... Text literals
// are bound parameters. A construct it cannot translate faithfully is an error that names it.

#include <QString>
#include <vector>

#include "platform/accessquery/AccessExpr.h"
#include "platform/accessquery/AccessQuery.h"
#include "platform/accessquery/QueryDefinition.h"
#include "platform/accessquery/QuerySandbox.h"

namespace korvane {

struct ScopeSource;

struct OutputColumn {
    QString name;  // as Access names it
    DbValue::Kind kind = DbValue::Kind::Null;
    QString sqlName;       // o1
    QString exactSqlName;  // o1x, or empty
    int valueIndex = 0;    // positions in the statement's result
    int exactIndex = -1;
};

struct TranslatedSelect {
    QString sql;
    std::vector<OutputColumn> columns;
};

// Where the translator gets the local tables a query reads (loaded on first use).
class TableProvider {
public:
    virtual ~TableProvider() = default;
    virtual bool table(const QString& catalogueName, const LoadedTable*& out, QString& error) = 0;
};

class QueryTranslator {
public:
    QueryTranslator(const QueryCatalogue& catalogue, TableProvider& tables)
        : m_catalogue(catalogue), m_tables(tables) {}

    // Translates the saved query `query` (an object of the catalogue).
    bool translate(const CatalogueObject& query, TranslatedSelect& out, QString& error);
    const SqlParams& params() const { return m_params; }

private:
    bool translateQuery(const CatalogueObject& query, int depth, TranslatedSelect& out,
                        QString& error);
    bool translateSelect(const QueryDefinition& def, int depth, TranslatedSelect& out,
                         QString& error);
    bool resolveSource(const QuerySourceDef& def, int depth, ScopeSource& out, QString& error);
    QString nextAlias() { return QStringLiteral("s%1").arg(++m_aliasCount); }

    const QueryCatalogue& m_catalogue;
    TableProvider& m_tables;
    SqlParams m_params;
    std::vector<int32_t> m_openQueries;  // the chain of queries being translated
    int m_aliasCount = 0;
};

// The catalogue object (local table, linked table or query) with this name: the exact name
// first, then one that differs only in letter case (Access names ignore case).
const CatalogueObject* findCatalogueObject(const QueryCatalogue& catalogue, const QString& name);

}  // namespace korvane
