// The SELECT of one saved select query: sources, joins, output columns, conditions, groups,
// sort keys, DISTINCT / DISTINCTROW and TOP, assembled over generated names.

#include <set>

#include "platform/accessquery/QueryFrom.h"
#include "platform/accessquery/QueryScope.h"
#include "platform/accessquery/QueryTranslator.h"

namespace korvane {

using Kind = DbValue::Kind;

namespace {

struct PlannedColumn {
    QString name;
    SqlPiece piece;
    int source = -1;  // for a bare column: its source (to tell equal names apart)
};

QString collatedKey(const QString& sql) {
    return QLatin1Char('(') + sql + QStringLiteral(") COLLATE ") + QLatin1String(kTextCollation);
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Columns of `source` for a * or Table.*.
void expandStar(QueryScope& scope, int source, std::vector<PlannedColumn>& out) {
    for (const ScopeColumn& column : scope.sources()[source].columns) {
        SqlPiece piece{column.sql, column.kind, false};
        piece.exactSql = column.exactSql;
        out.push_back({column.name, piece, source});
    }
    scope.markUsed(source);
}

}  // namespace

bool QueryTranslator::translateSelect(const QueryDefinition& def, int depth, TranslatedSelect& out,
                                      QString& error) {
    if (!def.parameters.empty()) {
        error = QStringLiteral("パラメーター [%1]").arg(def.parameters.front().name);
        return false;
    }
    if (!def.remoteDatabase.isEmpty()) {
        error = QStringLiteral("外部データベース (IN 句)");
        return false;
    }
    if (def.sources.empty()) {
        error = QStringLiteral("FROM 句のないクエリー");
        return false;
    }
    if (def.sources.size() > static_cast<size_t>(QueryLimits::kMaxSources)) {
        error = QStringLiteral("FROM 句のテーブルが多すぎます (%1)").arg(def.sources.size());
        return false;
    }
    std::vector<ScopeSource> sources;
    for (const QuerySourceDef& sourceDef : def.sources) {
        ScopeSource source;
        if (!resolveSource(sourceDef, depth, source, error)) {
            return false;
        }
        for (const ScopeSource& other : sources) {
            if (sameName(other.key, source.key)) {
                error = QStringLiteral("FROM 句で同じ名前 %1 が二度使われています")
                            .arg(quoteAccessName(source.key));
                return false;
            }
        }
        sources.push_back(std::move(source));
    }
    QueryScope scope(std::move(sources), def.columns, m_params);

    QString fromSql;
    if (!buildFromSql(scope, def, fromSql, error)) {
        return false;
    }
    scope.takeUsedSources();

    // Output columns.
    std::vector<PlannedColumn> planned;
    bool starUsed = false;
    int expressionNumber = 1000;
    for (const QueryColumnDef& column : def.columns) {
        QString key;
        if (starColumn(column.expression, key)) {
            starUsed = true;
            if (key.isEmpty()) {
                for (int s = 0; s < static_cast<int>(scope.sources().size()); ++s) {
                    expandStar(scope, s, planned);
                }
                continue;
            }
            const int source = scope.findSource(key);
            if (source < 0) {
                error =
                    QStringLiteral("名前 %1.* (%1 は FROM にありません)").arg(quoteAccessName(key));
                return false;
            }
            expandStar(scope, source, planned);
            continue;
        }
        PlannedColumn plan;
        const std::set<int> before = scope.takeUsedSources();
        if (!scope.translate(column.expression, plan.piece, error)) {
            error = QStringLiteral("列 %1: %2").arg(column.expression.left(200), error);
            return false;
        }
        std::set<int> used = scope.takeUsedSources();
        const QString bare = bareColumnName(column.expression);
        if (!bare.isEmpty() && used.size() == 1) {
            plan.source = *used.begin();
            plan.name = bare;
        }
        if (!column.alias.isEmpty()) {
            plan.name = column.alias;
            plan.source = -1;
        } else if (plan.name.isEmpty()) {
            plan.name = QStringLiteral("Expr%1").arg(expressionNumber++);
        }
        used.insert(before.begin(), before.end());
        for (int s : used) {
            scope.markUsed(s);
        }
        planned.push_back(plan);
    }
    if (def.selectFlags & SelectFlag::Star) {
        starUsed = true;
        for (int s = 0; s < static_cast<int>(scope.sources().size()); ++s) {
            expandStar(scope, s, planned);
        }
    }
    const std::set<int> outputSources = scope.takeUsedSources();
    if (planned.empty()) {
        error = QStringLiteral("出力する列がありません");
        return false;
    }
    if (planned.size() > static_cast<size_t>(QueryLimits::kMaxColumns / 4)) {
        error = QStringLiteral("出力する列が多すぎます (%1)").arg(planned.size());
        return false;
    }
    // Equal names of columns from different sources read "Source.Column", as in Access.
    std::vector<QString> qualified(planned.size());
    for (size_t i = 0; i < planned.size(); ++i) {
        for (size_t j = 0; j < planned.size() && planned[i].source >= 0; ++j) {
            if (planned[j].source >= 0 && planned[j].source != planned[i].source &&
                sameName(planned[j].name, planned[i].name)) {
                qualified[i] =
                    scope.sources()[planned[i].source].key + QLatin1Char('.') + planned[i].name;
                break;
            }
        }
    }
    for (size_t i = 0; i < planned.size(); ++i) {
        if (!qualified[i].isEmpty()) {
            planned[i].name = qualified[i];
        }
    }

    bool aggregate = !def.groupBy.isEmpty() || !def.having.isEmpty();
    for (const PlannedColumn& column : planned) {
        aggregate = aggregate || column.piece.aggregate;
    }
    if (aggregate && starUsed) {
        error = QStringLiteral("集計クエリーの *");
        return false;
    }

    QString tail;
    if (!def.where.isEmpty()) {
        SqlPiece where;
        if (!scope.translate(def.where, where, error)) {
            error = QStringLiteral("WHERE: %1").arg(error);
            return false;
        }
        if (where.aggregate) {
            error = QStringLiteral("WHERE の中の集計関数");
            return false;
        }
        tail += QStringLiteral(" WHERE ") + where.sql;
    }
    if (!def.groupBy.isEmpty()) {
        QStringList keys;
        for (const QString& expression : def.groupBy) {
            SqlPiece key;
            if (!scope.translate(expression, key, error)) {
                error = QStringLiteral("GROUP BY: %1").arg(error);
                return false;
            }
            if (key.aggregate) {
                error = QStringLiteral("GROUP BY の中の集計関数");
                return false;
            }
            keys << collatedKey(key.sql);
        }
        tail += QStringLiteral(" GROUP BY ") + keys.join(QStringLiteral(", "));
    }
    if (!def.having.isEmpty()) {
        SqlPiece having;
        if (!scope.translate(def.having, having, error)) {
            error = QStringLiteral("HAVING: %1").arg(error);
            return false;
        }
        tail += QStringLiteral(" HAVING ") + having.sql;
    }
    QStringList orderKeys;     // SQL of each key
    QStringList orderClauses;  // with collation and direction
    for (const QueryOrderDef& order : def.orderBy) {
        SqlPiece key;
        if (!scope.translate(order.expression, key, error)) {
            error = QStringLiteral("ORDER BY: %1").arg(error);
            return false;
        }
        orderKeys << key.sql;
        orderClauses << collatedKey(key.sql) +
                            (order.descending ? QStringLiteral(" DESC") : QString());
    }

    // DISTINCTROW keeps one row per combination of the records of the tables that give output
    // columns; when every table gives some, no two rows can come from the same records. The
    // rows of a totals query are groups, not records, and Jet ignores it there.
    bool distinct = def.selectFlags & SelectFlag::Distinct;
    QStringList rowKeys;
    if ((def.selectFlags & SelectFlag::DistinctRow) && !distinct && !aggregate &&
        outputSources.size() < scope.sources().size()) {
        for (int s : outputSources) {
            if (!scope.sources()[s].isTable) {
                error = QStringLiteral("DISTINCTROW (保存クエリー %1 を含む)")
                            .arg(quoteAccessName(scope.sources()[s].key));
                return false;
            }
            rowKeys << scope.sources()[s].sqlAlias + QStringLiteral(".rowid");
        }
        distinct = true;
    }

    // The select list: each output, then its exact form; these come first in every shape.
    out = TranslatedSelect();
    QStringList visible;
    for (size_t i = 0; i < planned.size(); ++i) {
        OutputColumn column;
        column.name = planned[i].name;
        column.kind = planned[i].piece.kind;
        column.sqlName = QStringLiteral("o%1").arg(i + 1);
        column.valueIndex = visible.size();
        visible << column.sqlName;
        if (!planned[i].piece.exactSql.isEmpty()) {
            column.exactSqlName = column.sqlName + QLatin1Char('x');
            column.exactIndex = visible.size();
            visible << column.exactSqlName;
        }
        out.columns.push_back(column);
    }
    QStringList selectList;
    for (size_t i = 0; i < planned.size(); ++i) {
        selectList << collatedKey(planned[i].piece.sql) + QStringLiteral(" AS ") +
                          out.columns[i].sqlName;
        if (!out.columns[i].exactSqlName.isEmpty()) {
            selectList << planned[i].piece.exactSql + QStringLiteral(" AS ") +
                              out.columns[i].exactSqlName;
        }
    }
    for (int i = 0; i < rowKeys.size(); ++i) {
        selectList << rowKeys[i] + QStringLiteral(" AS d%1").arg(i + 1);
    }
    const bool top = def.selectFlags & SelectFlag::Top;
    const bool percent = top && (def.selectFlags & SelectFlag::Percent);
    const bool ranked = top && (percent || !orderKeys.isEmpty());
    QStringList rankOrder;
    if (ranked) {
        for (int i = 0; i < orderKeys.size(); ++i) {
            selectList << QLatin1Char('(') + orderKeys[i] + QStringLiteral(") AS k%1").arg(i + 1);
            rankOrder << collatedKey(QStringLiteral("k%1").arg(i + 1)) +
                             (def.orderBy[i].descending ? QStringLiteral(" DESC") : QString());
        }
    }
    const QString core =
        QStringLiteral("SELECT ") + (distinct ? QStringLiteral("DISTINCT ") : QString()) +
        selectList.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + fromSql + tail;
    if (!top) {
        out.sql = core;
        if (!orderClauses.isEmpty()) {
            out.sql += QStringLiteral(" ORDER BY ") + orderClauses.join(QStringLiteral(", "));
        }
        return true;
    }
    bool ok = false;
    const double topValue = def.topValue.trimmed().toDouble(&ok);
    if (!ok || !(topValue > 0) || (percent ? topValue > 100 : topValue > 2147483647.0) ||
        (!percent && topValue != static_cast<double>(static_cast<int64_t>(topValue)))) {
        error = QStringLiteral("TOP %1").arg(def.topValue.left(40));
        return false;
    }
    if (!ranked) {
        out.sql =
            core + QStringLiteral(" LIMIT ") + QString::number(static_cast<int64_t>(topValue));
        return true;
    }
    // TOP n with a sort keeps the rows that tie with the n-th, as Access does: rank() gives
    // tied rows the same number. TOP n PERCENT takes the first n% of the rows, rounded up.
    const QString window = orderKeys.isEmpty()
                               ? QStringLiteral("row_number() OVER ()")
                               : QStringLiteral("rank() OVER (ORDER BY ") +
                                     rankOrder.join(QStringLiteral(", ")) + QLatin1Char(')');
    const QString keep =
        percent ? QStringLiteral("(r_ - 1) * 100.0 < n_ * ") + QString::number(topValue, 'g', 17)
                : QStringLiteral("r_ <= ") + QString::number(static_cast<int64_t>(topValue));
    out.sql = QStringLiteral("SELECT ") + visible.join(QStringLiteral(", ")) +
              QStringLiteral(" FROM (SELECT q_.*, ") + window +
              QStringLiteral(" AS r_, count(*) OVER () AS n_ FROM (") + core +
              QStringLiteral(") AS q_) AS w_ WHERE ") + keep;
    if (!rankOrder.isEmpty()) {
        out.sql += QStringLiteral(" ORDER BY ") + rankOrder.join(QStringLiteral(", "));
    }
    return true;
}

}  // namespace korvane
