#include "platform/accessquery/QueryScope.h"

#include "platform/accessquery/QueryFault.h"
#include "platform/accessquery/QuerySandbox.h"

namespace korvane {

namespace {

constexpr int kMaxAliasExpansions = 4096;

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

int QueryScope::findSource(const QString& key) const {
    for (size_t i = 0; i < m_sources.size(); ++i) {
        if (sameName(m_sources[i].key, key)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

SqlPiece QueryScope::use(int source, const ScopeColumn& column) {
    m_used.insert(source);
    if (column.origin) {
        column.origin->used = true;
    }
    SqlPiece out{column.sql, column.kind, false};
    out.exactSql = column.exactSql;
    return out;
}

QueryScope::Located QueryScope::locate(const SqlPiece& piece) const {
    int depth = 0;
    for (const QueryScope* scope = this; scope; scope = scope->m_outer, ++depth) {
        for (const ScopeSource& source : scope->m_sources) {
            for (const ScopeColumn& column : source.columns) {
                if (column.sql == piece.sql) {
                    return {&column, depth};
                }
            }
        }
    }
    return {};
}

void QueryScope::comparedForEquality(const SqlPiece& left, const SqlPiece& right) {
    const Located a = locate(left);
    const Located b = locate(right);
    if (!a.column || !b.column) {
        return;  // against a constant or an expression: one pass over the rows answers it
    }
    if (a.depth != b.depth) {
        // A correlated subquery looks its rows up by a value of the row around it.
        const Located& inner = a.depth < b.depth ? a : b;
        if (inner.column->origin) {
            inner.column->origin->lookedUp = true;
        }
        return;
    }
    if (a.column->origin && b.column->origin) {
        a.column->origin->joinedTo.push_back(b.column->origin);
        b.column->origin->joinedTo.push_back(a.column->origin);
    } else if (a.column->origin || b.column->origin) {
        // Joined to a saved query's or a derived table's rows.
        (a.column->origin ? a : b).column->origin->lookedUp = true;
    }
}

void QueryScope::markUsed(int source) {
    m_used.insert(source);
    for (const ScopeColumn& column : m_sources[source].columns) {
        if (column.origin) {
            column.origin->used = true;
        }
    }
}

QueryScope::Lookup QueryScope::findColumn(const NameRef& name) {
    if (name.parts.size() == 2) {
        const int source = findSource(name.parts[0]);
        if (source < 0) {
            return std::optional<SqlPiece>();
        }
        for (const ScopeColumn& column : m_sources[source].columns) {
            if (sameName(column.name, name.parts[1])) {
                return std::optional<SqlPiece>(use(source, column));
            }
        }
        return std::optional<SqlPiece>();
    }
    if (name.parts.size() != 1) {
        return std::optional<SqlPiece>();  // Forms!Form!Control is never a column
    }
    const ScopeColumn* found = nullptr;
    int foundSource = -1;
    for (size_t s = 0; s < m_sources.size(); ++s) {
        for (const ScopeColumn& column : m_sources[s].columns) {
            if (!sameName(column.name, name.parts[0])) {
                continue;
            }
            if (found) {
                return Failure(QueryFault::AmbiguousName, {quoteAccessName(name.parts[0])});
            }
            found = &column;
            foundSource = static_cast<int>(s);
        }
    }
    if (!found) {
        return std::optional<SqlPiece>();
    }
    return std::optional<SqlPiece>(use(foundSource, *found));
}

// Access lets an expression use the alias of another output column.
QueryScope::Lookup QueryScope::findAlias(const NameRef& name) {
    if (name.parts.size() != 1) {
        return std::optional<SqlPiece>();
    }
    for (size_t i = 0; i < m_outputs.size(); ++i) {
        if (m_outputs[i].alias.isEmpty() || !sameName(m_outputs[i].alias, name.parts[0])) {
            continue;
        }
        // Aliases built on aliases can double the SQL at each step: bound the work.
        if (++m_aliasExpansions > kMaxAliasExpansions) {
            return Failure(QueryFault::TooManyAliasUses);
        }
        if (!m_expandingAliases.insert(static_cast<int>(i)).second) {
            return Failure(QueryFault::CircularAlias, {quoteAccessName(name.parts[0])});
        }
        Result<SqlPiece> inner = translate(m_outputs[i].expression);
        m_expandingAliases.erase(static_cast<int>(i));
        if (!inner) {
            return inner.takeFailure();
        }
        SqlPiece out = std::move(inner).value();
        out.sql = QLatin1Char('(') + out.sql + QLatin1Char(')');
        return std::optional<SqlPiece>(std::move(out));
    }
    return std::optional<SqlPiece>();
}

Result<SqlPiece> QueryScope::resolveName(const NameRef& name) {
    for (QueryScope* scope = this; scope; scope = scope->m_outer) {
        for (auto find : {&QueryScope::findColumn, &QueryScope::findAlias}) {
            Lookup found = (scope->*find)(name);
            if (!found) {
                return found.takeFailure();
            }
            if (found.value()) {
                return *std::move(found).value();
            }
        }
    }
    // A name Access cannot place is a parameter it would ask the user for.
    return m_host.valueNeeded(name.written);
}

std::set<int> QueryScope::takeUsedSources() {
    std::set<int> used;
    used.swap(m_used);
    return used;
}

}  // namespace korvane
