#include "platform/accessquery/QueryFrom.h"

#include "platform/accessquery/AccessLexer.h"

namespace korvane {

namespace {

class FromBuilder {
public:
    FromBuilder(QueryScope& scope, const QueryDefinition& def) : m_scope(scope), m_def(def) {}

    bool build(QString& sql, QString& error) {
        std::vector<std::unique_ptr<FromItem>> items;
        if (!buildFromItems(m_def, items, error)) {
            return false;
        }
        QStringList parts;
        for (const auto& item : items) {
            QString part;
            if (!itemSql(*item, part, error)) {
                return false;
            }
            parts << part;
        }
        sql = parts.join(QStringLiteral(", "));
        return true;
    }

private:
    bool itemSql(const FromItem& item, QString& sql, QString& error) {
        if (item.source >= 0) {
            sql = m_scope.sources()[item.source].fromSql;
            return true;
        }
        QString left, right;
        if (!itemSql(*item.left, left, error) || !itemSql(*item.right, right, error)) {
            return false;
        }
        QStringList conditions;
        for (const QString& on : item.on) {
            SqlPiece piece;
            if (!m_scope.translate(on, piece, error)) {
                error = QStringLiteral("結合の条件: %1").arg(error);
                return false;
            }
            if (piece.aggregate) {
                error = QStringLiteral("結合の条件の中の集計関数");
                return false;
            }
            conditions << QLatin1Char('(') + piece.sql + QLatin1Char(')');
        }
        const QString on = QStringLiteral(" ON ") + conditions.join(QStringLiteral(" AND "));
        // A RIGHT JOIN is the LEFT JOIN with the sides swapped.
        if (item.joinKind == 3) {
            sql = QLatin1Char('(') + right + QStringLiteral(" LEFT JOIN ") + left + on +
                  QLatin1Char(')');
        } else {
            sql = QLatin1Char('(') + left +
                  (item.joinKind == 2 ? QStringLiteral(" LEFT JOIN ")
                                      : QStringLiteral(" INNER JOIN ")) +
                  right + on + QLatin1Char(')');
        }
        return true;
    }

    QueryScope& m_scope;
    const QueryDefinition& m_def;
};

}  // namespace

bool buildFromSql(QueryScope& scope, const QueryDefinition& def, QString& sql, QString& error) {
    return FromBuilder(scope, def).build(sql, error);
}

// "Customers.City" or "[City]": the column name Access gives an output column that is a bare
// column reference; empty for any other expression.
QString bareColumnName(const QString& expression) {
    std::vector<AccessToken> tokens;
    QString ignored;
    if (!tokenizeAccessExpr(expression, tokens, ignored)) {
        return QString();
    }
    const auto isName = [&](size_t i) { return tokens[i].type == AccessToken::Type::Name; };
    if (tokens.size() == 2 && isName(0)) {
        return tokens[0].text;
    }
    if (tokens.size() == 4 && isName(0) && isName(2) &&
        tokens[1].type == AccessToken::Type::Symbol &&
        (tokens[1].text == QLatin1String(".") || tokens[1].text == QLatin1String("!"))) {
        return tokens[2].text;
    }
    return QString();
}

// "Customers.*" or "*": the source key (empty for all sources); false for anything else.
bool starColumn(const QString& expression, QString& key) {
    const QString text = expression.trimmed();
    if (text == QLatin1String("*")) {
        key.clear();
        return true;
    }
    if (!text.endsWith(QLatin1Char('*'))) {
        return false;
    }
    QString head = text.left(text.size() - 1).trimmed();
    if (!head.endsWith(QLatin1Char('.')) && !head.endsWith(QLatin1Char('!'))) {
        return false;
    }
    head.chop(1);
    head = head.trimmed();
    if (head.startsWith(QLatin1Char('[')) && head.endsWith(QLatin1Char(']'))) {
        head = head.mid(1, head.size() - 2);
    }
    key = head;
    return !key.isEmpty();
}

}  // namespace korvane
