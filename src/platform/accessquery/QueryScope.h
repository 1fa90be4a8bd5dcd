#pragma once
// The names one SELECT can see: its sources (tables, saved queries and derived tables, by alias
// or name) with their columns, its output aliases, and - for a subquery - the names of the
// queries around it. Turns an Access name into the generated SQL name of the column; no name
// from the file ever becomes SQL text.

#include <QString>
#include <optional>
#include <set>
#include <vector>

#include "platform/accessquery/AccessExpr.h"
#include "platform/accessquery/QueryDefinition.h"

namespace korvane {

struct LoadedColumn;

struct ScopeColumn {
    QString name;  // as Access names it
    DbValue::Kind kind = DbValue::Kind::Null;
    QString sql;                     // s3.c2
    QString exactSql;                // s3.c2x for currency and decimal columns
    LoadedColumn* origin = nullptr;  // the table column it reads, marked when used
};

struct ScopeSource {
    QString key;       // alias, or the table or query name
    QString fromSql;   // "t1 AS s3" or "(SELECT ...) AS s3"
    QString sqlAlias;  // s3
    bool isTable = false;
    std::vector<ScopeColumn> columns;
};

class QueryScope;

// What a scope leaves to the translator: the subqueries in its expressions, and a name that is
// nowhere to be found (a value Access asks the user for).
class SubqueryHost {
public:
    virtual ~SubqueryHost() = default;
    virtual Result<SqlPiece> translateSubquery(const QString& selectText, SubqueryUse use,
                                               QueryScope& outer) = 0;
    // The value given for it, or a failure naming it.
    virtual Result<SqlPiece> valueNeeded(const QString& written) = 0;
};

class QueryScope : public NameResolver {
public:
    QueryScope(std::vector<ScopeSource> sources, const std::vector<QueryColumnDef>& outputs,
               SqlParams& params, SubqueryHost& host, QueryScope* outer)
        : m_sources(std::move(sources)),
          m_outputs(outputs),
          m_params(params),
          m_host(host),
          m_outer(outer) {}

    // Columns of this SELECT's sources first, then its output aliases, then the same in the
    // queries around it (a correlated subquery); a name found nowhere is a value to ask for.
    Result<SqlPiece> resolveName(const NameRef& name) override;
    Result<SqlPiece> subquery(const QString& selectText, SubqueryUse use) override {
        return m_host.translateSubquery(selectText, use, *this);
    }
    // Notes on the table columns compared how they are searched (see LoadedColumn).
    void comparedForEquality(const SqlPiece& left, const SqlPiece& right) override;

    // Translates an expression of this SELECT.
    Result<SqlPiece> translate(const QString& text) {
        return translateAccessExpr(text, *this, m_params);
    }

    const std::vector<ScopeSource>& sources() const { return m_sources; }
    // The source a qualifier names; -1 when none.
    int findSource(const QString& key) const;

    // Sources whose columns were resolved since the last call (for DISTINCTROW).
    std::set<int> takeUsedSources();
    // Marks every column of the source as used (a * in the select list).
    void markUsed(int source);

private:
    // The column a piece is, here (depth 0) or in the queries around.
    struct Located {
        const ScopeColumn* column = nullptr;
        int depth = 0;
    };
    Located locate(const SqlPiece& piece) const;
    // What a name is here: its SQL, nothing (std::nullopt: look further), or a failure.
    using Lookup = Result<std::optional<SqlPiece>>;
    Lookup findColumn(const NameRef& name);
    Lookup findAlias(const NameRef& name);
    SqlPiece use(int source, const ScopeColumn& column);

    std::vector<ScopeSource> m_sources;
    const std::vector<QueryColumnDef>& m_outputs;
    SqlParams& m_params;
    SubqueryHost& m_host;
    QueryScope* m_outer;
    std::set<int> m_used;
    std::set<int> m_expandingAliases;
    int m_aliasExpansions = 0;
};

}  // namespace korvane
