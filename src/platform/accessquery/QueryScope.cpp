#include "platform/accessquery/QueryScope.h"

namespace korvane {

namespace {

constexpr int kMaxAliasExpansions = 4096;

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

SqlPiece columnPiece(const ScopeColumn& column) {
    SqlPiece piece{column.sql, column.kind, false};
    piece.exactSql = column.exactSql;
    return piece;
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

bool QueryScope::resolveName(const QString& qualifier, const QString& name, SqlPiece& out,
                             QString& error) {
    if (!qualifier.isEmpty()) {
        const int source = findSource(qualifier);
        if (source < 0) {
            error = QStringLiteral("名前 %1.%2 (%1 は FROM にありません)")
                        .arg(quoteAccessName(qualifier), quoteAccessName(name));
            return false;
        }
        for (const ScopeColumn& column : m_sources[source].columns) {
            if (sameName(column.name, name)) {
                m_used.insert(source);
                out = columnPiece(column);
                return true;
            }
        }
        error = QStringLiteral("名前 %1.%2 (%1 にその列はありません)")
                    .arg(quoteAccessName(qualifier), quoteAccessName(name));
        return false;
    }
    const ScopeColumn* found = nullptr;
    int foundSource = -1;
    for (size_t s = 0; s < m_sources.size(); ++s) {
        for (const ScopeColumn& column : m_sources[s].columns) {
            if (sameName(column.name, name)) {
                if (found) {
                    error = QStringLiteral("あいまいな名前 %1").arg(quoteAccessName(name));
                    return false;
                }
                found = &column;
                foundSource = static_cast<int>(s);
            }
        }
    }
    if (found) {
        m_used.insert(foundSource);
        out = columnPiece(*found);
        return true;
    }
    // Access lets an expression use the alias of another output column.
    for (size_t i = 0; i < m_outputs.size(); ++i) {
        if (!m_outputs[i].alias.isEmpty() && sameName(m_outputs[i].alias, name)) {
            // Aliases built on aliases can double the SQL at each step: bound the work.
            if (++m_aliasExpansions > kMaxAliasExpansions) {
                error = QStringLiteral("別名の参照が多すぎます");
                return false;
            }
            if (!m_expandingAliases.insert(static_cast<int>(i)).second) {
                error = QStringLiteral("循環する別名 %1").arg(quoteAccessName(name));
                return false;
            }
            SqlPiece inner;
            const bool ok = translate(m_outputs[i].expression, inner, error);
            m_expandingAliases.erase(static_cast<int>(i));
            if (!ok) {
                return false;
            }
            out = inner;
            out.sql = QLatin1Char('(') + inner.sql + QLatin1Char(')');
            return true;
        }
    }
    // A name Access cannot place is a parameter it would ask the user for.
    error = QStringLiteral("パラメーター %1").arg(QLatin1Char('[') + name + QLatin1Char(']'));
    return false;
}

bool QueryScope::translate(const QString& text, SqlPiece& out, QString& error) {
    return translateAccessExpr(text, *this, m_params, out, error);
}

std::set<int> QueryScope::takeUsedSources() {
    std::set<int> used;
    used.swap(m_used);
    return used;
}

}  // namespace korvane
