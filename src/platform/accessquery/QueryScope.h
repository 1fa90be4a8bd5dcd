#pragma once
// The names one SELECT can see: its sources (tables and saved queries, by alias or name) with
// their columns, and its output aliases. Turns an Access name into the generated SQL name of
// the column; no name from the file ever becomes SQL text.

#include <QString>
#include <set>
#include <vector>

#include "platform/accessquery/AccessExpr.h"
#include "platform/accessquery/QueryDefinition.h"

namespace korvane {

struct ScopeColumn {
    QString name;  // as Access names it
    DbValue::Kind kind = DbValue::Kind::Null;
    QString sql;       // s3.c2
    QString exactSql;  // s3.c2x for currency and decimal columns
};

struct ScopeSource {
    QString key;       // alias, or the table or query name
    QString fromSql;   // "t1 AS s3" or "(SELECT ...) AS s3"
    QString sqlAlias;  // s3
    bool isTable = false;
    std::vector<ScopeColumn> columns;
};

class QueryScope : public NameResolver {
public:
    QueryScope(std::vector<ScopeSource> sources, const std::vector<QueryColumnDef>& outputs,
               SqlParams& params)
        : m_sources(std::move(sources)), m_outputs(outputs), m_params(params) {}

    bool resolveName(const QString& qualifier, const QString& name, SqlPiece& out,
                     QString& error) override;

    // Translates an expression of this SELECT.
    bool translate(const QString& text, SqlPiece& out, QString& error);

    const std::vector<ScopeSource>& sources() const { return m_sources; }
    // The source a qualifier names; -1 when none.
    int findSource(const QString& key) const;

    // Sources whose columns were resolved since the last call (for DISTINCTROW).
    std::set<int> takeUsedSources();
    void markUsed(int source) { m_used.insert(source); }

private:
    std::vector<ScopeSource> m_sources;
    const std::vector<QueryColumnDef>& m_outputs;
    SqlParams& m_params;
    std::set<int> m_used;
    std::set<int> m_expandingAliases;
    int m_aliasExpansions = 0;
};

}  // namespace korvane
