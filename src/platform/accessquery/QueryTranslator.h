#pragma once
// Turns a saved select query (and the saved queries, derived tables and subqueries it reads
// from) into one SQLite SELECT over generated names: tables t1.., sources s1.., columns c1..,
// outputs o1... Text literals are bound parameters. A construct it cannot translate faithfully
// is an error that names it.

#include <QString>
#include <vector>

#include "platform/accessquery/AccessExpr.h"
#include "platform/accessquery/AccessQuery.h"
#include "platform/accessquery/QueryDefinition.h"
#include "platform/accessquery/QueryFrom.h"
#include "platform/accessquery/QuerySandbox.h"
#include "platform/accessquery/QueryScope.h"

namespace korvane {

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

// Where the translator gets the local tables a query reads: their columns at once, their rows
// after the translation (only the columns it marked as used).
class TableProvider {
public:
    virtual ~TableProvider() = default;
    virtual Result<LoadedTable*> table(const QString& catalogueName) = 0;
};

// What a SELECT gives: rows of every output column, or one column (a subquery in IN, ANY, ALL,
// EXISTS or as a value).
enum class SelectShape { Rows, OneColumn };

class QueryTranslator : private SubqueryHost {
public:
    QueryTranslator(const QueryCatalogue& catalogue, TableProvider& tables)
        : m_catalogue(catalogue), m_tables(tables) {}

    // Translates the saved query `query` (an object of the catalogue).
    Result<TranslatedSelect> translate(const CatalogueObject& query);
    const SqlParams& params() const { return m_params; }
    // The values given for the names the query asks for; a name without one fails the
    // translation with QueryFault::ValueNeeded ("[Forms]![F]![C]", a name that is no
    // column, a declared parameter, as written), perhaps inside the failures it stands in.
    void giveValues(const std::vector<QueryValue>& values) { m_values = &values; }
    // Instead of failing on a name to ask for, notes it and goes on: askedNames() then lists
    // them, each once, in the order they were met.
    void collectAskedNames() { m_collecting = true; }
    const QStringList& askedNames() const { return m_asked; }
    // After a translation: whether each result row comes from one row of the only table the
    // query reads, in the table's order (no sort, group, DISTINCT, TOP or subquery), so the
    // table's rows can be taken a few at a time.
    bool rowByRow() const { return m_rowByRow && m_tableReads == 1; }

private:
    Result<TranslatedSelect> translateQuery(const CatalogueObject& query);
    Result<TranslatedSelect> translateSelect(const QueryDefinition& def, QueryScope* outer,
                                             SelectShape shape);
    Result<std::vector<ScopeSource>> resolveSources(const QueryDefinition& def, QueryScope* outer);
    Result<ScopeSource> resolveSource(const QuerySourceDef& def, QueryScope* outer);
    ScopeSource tableSource(LoadedTable& table, const QString& key);
    ScopeSource selectSource(const TranslatedSelect& inner, const QString& key);
    Result<SqlPiece> translateSubquery(const QString& selectText, SubqueryUse use,
                                       QueryScope& outer) override;
    Result<SqlPiece> valueNeeded(const QString& written) override;
    Status declareParameters(const QueryDefinition& def);
    QString nextAlias() { return QStringLiteral("s%1").arg(++m_aliasCount); }

    const QueryCatalogue& m_catalogue;
    TableProvider& m_tables;
    SqlParams m_params;
    std::vector<int32_t> m_openQueries;  // the chain of queries being translated
    int m_depth = 0;                     // saved queries and subqueries inside each other
    int m_aliasCount = 0;
    const std::vector<QueryValue>* m_values = nullptr;
    bool m_collecting = false;
    QStringList m_asked;
    std::vector<QueryParameterDef> m_declared;  // names are stored without brackets
    bool m_rowByRow = true;
    int m_tableReads = 0;
};

// The catalogue object (local table, linked table or query) with this name: the exact name
// first, then one that differs only in letter case (Access names ignore case). Forms,
// reports, macros and modules never answer.
const CatalogueObject* findCatalogueObject(const QueryCatalogue& catalogue, const QString& name);

}  // namespace korvane
