#include "platform/accessquery/QueryFrom.h"

#include "platform/accessquery/AccessLexer.h"
#include "platform/accessquery/QueryFault.h"

namespace korvane {

namespace {

class FromBuilder {
public:
    FromBuilder(QueryScope& scope, const QueryDefinition& def) : m_scope(scope), m_def(def) {}

    Result<QString> build() {
        Result<FromItems> items = buildFromItems(m_def);
        if (!items) {
            return items.takeFailure();
        }
        QStringList parts;
        for (const auto& item : items.value()) {
            Result<QString> part = itemSql(*item);
            if (!part) {
                return part;
            }
            parts << part.value();
        }
        return parts.join(QStringLiteral(", "));
    }

private:
    Result<QString> itemSql(const FromItem& item) {
        if (item.source >= 0) {
            return m_scope.sources()[item.source].fromSql;
        }
        Result<QString> left = itemSql(*item.left);
        if (!left) {
            return left;
        }
        Result<QString> right = itemSql(*item.right);
        if (!right) {
            return right;
        }
        QStringList conditions;
        for (const QString& on : item.on) {
            Result<SqlPiece> piece = m_scope.translate(on);
            if (!piece) {
                return Failure(QueryFault::InJoinCondition, {}, piece.takeFailure());
            }
            if (piece->aggregate) {
                return Failure(QueryFault::AggregateInJoin);
            }
            conditions << QLatin1Char('(') + piece->filterSql() + QLatin1Char(')');
        }
        const QString on = QStringLiteral(" ON ") + conditions.join(QStringLiteral(" AND "));
        // A RIGHT JOIN is the LEFT JOIN with the sides swapped.
        if (item.joinKind == 3) {
            return QLatin1Char('(') + right.value() + QStringLiteral(" LEFT JOIN ") + left.value() +
                   on + QLatin1Char(')');
        }
        return QLatin1Char('(') + left.value() +
               (item.joinKind == 2 ? QStringLiteral(" LEFT JOIN ")
                                   : QStringLiteral(" INNER JOIN ")) +
               right.value() + on + QLatin1Char(')');
    }

    QueryScope& m_scope;
    const QueryDefinition& m_def;
};

}  // namespace

Result<QString> buildFromSql(QueryScope& scope, const QueryDefinition& def) {
    return FromBuilder(scope, def).build();
}

// "Customers.City" or "[City]": the column name Access gives an output column that is a bare
// column reference; empty for any other expression.
QString bareColumnName(const QString& expression) {
    const Result<std::vector<AccessToken>> read = tokenizeAccessExpr(expression);
    if (!read) {
        return QString();
    }
    const std::vector<AccessToken>& tokens = read.value();
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
