// The SELECT of one saved select query or subquery: sources, joins, output columns,
// conditions, groups, sort keys, DISTINCT / DISTINCTROW and TOP, assembled over generated
// names, step by step.

#include <set>

#include "platform/accessquery/QueryFault.h"
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

struct ColumnPlan {
    std::vector<PlannedColumn> columns;
    bool starUsed = false;
    bool aggregate = false;
    std::set<int> outputSources;  // sources that give output columns
};

struct Clauses {
    QString tail;              // WHERE, GROUP BY, HAVING
    QStringList orderKeys;     // SQL of each sort key
    QStringList orderClauses;  // with collation and direction
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

void expandAllStars(QueryScope& scope, ColumnPlan& plan) {
    plan.starUsed = true;
    for (int s = 0; s < static_cast<int>(scope.sources().size()); ++s) {
        expandStar(scope, s, plan.columns);
    }
}

// One output column that is an expression: its SQL, and the name Access gives it.
Status planExpression(QueryScope& scope, const QueryColumnDef& column, int& expressionNumber,
                      ColumnPlan& plan) {
    PlannedColumn planned;
    const std::set<int> before = scope.takeUsedSources();
    Result<SqlPiece> piece = scope.translate(column.expression);
    if (!piece) {
        return Failure(QueryFault::InColumn, {column.expression.left(200)}, piece.takeFailure());
    }
    planned.piece = std::move(piece).value();
    std::set<int> used = scope.takeUsedSources();
    const QString bare = bareColumnName(column.expression);
    if (!bare.isEmpty() && used.size() == 1) {
        planned.source = *used.begin();
        planned.name = bare;
    }
    if (!column.alias.isEmpty()) {
        planned.name = column.alias;
        planned.source = -1;
    } else if (planned.name.isEmpty()) {
        planned.name = QStringLiteral("Expr%1").arg(expressionNumber++);
    }
    used.insert(before.begin(), before.end());
    for (int s : used) {
        scope.markUsed(s);
    }
    plan.aggregate = plan.aggregate || planned.piece.aggregate;
    plan.columns.push_back(planned);
    return Done{};
}

Result<ColumnPlan> planColumns(QueryScope& scope, const QueryDefinition& def) {
    ColumnPlan plan;
    int expressionNumber = 1000;
    for (const QueryColumnDef& column : def.columns) {
        QString key;
        if (!starColumn(column.expression, key)) {
            if (Status planned = planExpression(scope, column, expressionNumber, plan); !planned) {
                return planned.takeFailure();
            }
        } else if (key.isEmpty()) {
            expandAllStars(scope, plan);
        } else if (const int source = scope.findSource(key); source >= 0) {
            plan.starUsed = true;
            expandStar(scope, source, plan.columns);
        } else {
            return Failure(QueryFault::StarOfUnknownSource, {quoteAccessName(key)});
        }
    }
    if (def.selectFlags & SelectFlag::Star) {
        expandAllStars(scope, plan);
    }
    plan.outputSources = scope.takeUsedSources();
    if (plan.columns.empty()) {
        return Failure(QueryFault::NoOutputColumns);
    }
    if (plan.columns.size() > static_cast<size_t>(QueryLimits::kMaxColumns / 4)) {
        return Failure(QueryFault::TooManyOutputColumns, {QString::number(plan.columns.size())});
    }
    plan.aggregate = plan.aggregate || !def.groupBy.isEmpty() || !def.having.isEmpty();
    if (plan.aggregate && plan.starUsed) {
        return Failure(QueryFault::StarInAggregate);
    }
    return plan;
}

// Equal names of columns from different sources read "Source.Column", as in Access.
void qualifyNames(std::vector<PlannedColumn>& planned, const QueryScope& scope) {
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
}

// One clause's expression; `aggregateAllowed` false where Access refuses aggregates.
Result<SqlPiece> clauseExpression(QueryScope& scope, const QString& text, const char* clause,
                                  bool aggregateAllowed) {
    Result<SqlPiece> piece = scope.translate(text);
    if (!piece) {
        return Failure(QueryFault::InClause, {QString::fromLatin1(clause)}, piece.takeFailure());
    }
    if (!aggregateAllowed && piece->aggregate) {
        return Failure(QueryFault::AggregateInClause, {QString::fromLatin1(clause)});
    }
    return piece;
}

Result<Clauses> translateClauses(QueryScope& scope, const QueryDefinition& def) {
    Clauses out;
    if (!def.where.isEmpty()) {
        Result<SqlPiece> where = clauseExpression(scope, def.where, "WHERE", false);
        if (!where) {
            return where.takeFailure();
        }
        out.tail += QStringLiteral(" WHERE ") + where->filterSql();
    }
    if (!def.groupBy.isEmpty()) {
        QStringList keys;
        for (const QString& expression : def.groupBy) {
            Result<SqlPiece> key = clauseExpression(scope, expression, "GROUP BY", false);
            if (!key) {
                return key.takeFailure();
            }
            keys << collatedKey(key->sql);
        }
        out.tail += QStringLiteral(" GROUP BY ") + keys.join(QStringLiteral(", "));
    }
    if (!def.having.isEmpty()) {
        Result<SqlPiece> having = clauseExpression(scope, def.having, "HAVING", true);
        if (!having) {
            return having.takeFailure();
        }
        out.tail += QStringLiteral(" HAVING ") + having->filterSql();
    }
    for (const QueryOrderDef& order : def.orderBy) {
        Result<SqlPiece> key = clauseExpression(scope, order.expression, "ORDER BY", true);
        if (!key) {
            return key.takeFailure();
        }
        out.orderKeys << key->sql;
        out.orderClauses << collatedKey(key->sql) +
                                (order.descending ? QStringLiteral(" DESC") : QString());
    }
    return out;
}

// DISTINCTROW keeps one row per combination of the records of the tables that give output
// columns; when every table gives some, no two rows can come from the same records. The rows
// of a totals query are groups, not records, and Jet ignores it there.
Result<QStringList> distinctRowKeys(const QueryScope& scope, const QueryDefinition& def,
                                    const ColumnPlan& plan, bool& distinct) {
    QStringList rowKeys;
    if (!(def.selectFlags & SelectFlag::DistinctRow) || distinct || plan.aggregate ||
        plan.outputSources.size() >= scope.sources().size()) {
        return rowKeys;
    }
    for (int s : plan.outputSources) {
        if (!scope.sources()[s].isTable) {
            return Failure(QueryFault::DistinctRowOverQuery,
                           {quoteAccessName(scope.sources()[s].key)});
        }
        rowKeys << scope.sources()[s].sqlAlias + QStringLiteral(".rowid");
    }
    distinct = true;
    return rowKeys;
}

// The output columns under their generated names: each value, then its exact form.
TranslatedSelect outputColumns(const std::vector<PlannedColumn>& planned, QStringList& selectList,
                               QStringList& visible) {
    TranslatedSelect out;
    for (size_t i = 0; i < planned.size(); ++i) {
        OutputColumn column;
        column.name = planned[i].name;
        column.kind = planned[i].piece.kind;
        column.sqlName = QStringLiteral("o%1").arg(i + 1);
        column.valueIndex = visible.size();
        visible << column.sqlName;
        selectList << collatedKey(planned[i].piece.sql) + QStringLiteral(" AS ") + column.sqlName;
        if (!planned[i].piece.exactSql.isEmpty()) {
            column.exactSqlName = column.sqlName + QLatin1Char('x');
            column.exactIndex = visible.size();
            visible << column.exactSqlName;
            selectList << planned[i].piece.exactSql + QStringLiteral(" AS ") + column.exactSqlName;
        }
        out.columns.push_back(column);
    }
    return out;
}

// TOP n keeps the first n rows; with a sort it also keeps the rows that tie with the n-th, as
// Access does (rank() gives tied rows the same number). TOP n PERCENT takes the first n% of
// the rows, rounded up.
Result<QString> applyTop(const QueryDefinition& def, const QString& core,
                         const QStringList& visible, const QStringList& rankOrder) {
    const bool percent = def.selectFlags & SelectFlag::Percent;
    bool ok = false;
    const double topValue = def.topValue.trimmed().toDouble(&ok);
    if (!ok || !(topValue > 0) || (percent ? topValue > 100 : topValue > 2147483647.0) ||
        (!percent && topValue != static_cast<double>(static_cast<int64_t>(topValue)))) {
        return Failure(QueryFault::UnusableTop, {def.topValue.left(40)});
    }
    if (!percent && rankOrder.isEmpty()) {
        return core + QStringLiteral(" LIMIT ") + QString::number(static_cast<int64_t>(topValue));
    }
    const QString window = rankOrder.isEmpty()
                               ? QStringLiteral("row_number() OVER ()")
                               : QStringLiteral("rank() OVER (ORDER BY ") +
                                     rankOrder.join(QStringLiteral(", ")) + QLatin1Char(')');
    const QString keep =
        percent ? QStringLiteral("(r_ - 1) * 100.0 < n_ * ") + QString::number(topValue, 'g', 17)
                : QStringLiteral("r_ <= ") + QString::number(static_cast<int64_t>(topValue));
    QString sql = QStringLiteral("SELECT ") + visible.join(QStringLiteral(", ")) +
                  QStringLiteral(" FROM (SELECT q_.*, ") + window +
                  QStringLiteral(" AS r_, count(*) OVER () AS n_ FROM (") + core +
                  QStringLiteral(") AS q_) AS w_ WHERE ") + keep;
    if (!rankOrder.isEmpty()) {
        sql += QStringLiteral(" ORDER BY ") + rankOrder.join(QStringLiteral(", "));
    }
    return sql;
}

// A subquery used in IN, ANY, ALL or as a value gives exactly one column, in its plain form.
Status keepOneColumn(ColumnPlan& plan) {
    if (plan.columns.size() != 1) {
        return Failure(QueryFault::SubqueryColumnCount, {QString::number(plan.columns.size())});
    }
    plan.columns.front().piece.exactSql.clear();
    return Done{};
}

struct DepthGuard {
    explicit DepthGuard(int& d) : depth(++d) {}
    ~DepthGuard() { --depth; }
    int& depth;
};

}  // namespace

Result<TranslatedSelect> QueryTranslator::translateSelect(const QueryDefinition& def,
                                                          QueryScope* outer, SelectShape shape) {
    DepthGuard guard(m_depth);
    if (m_depth > QueryLimits::kMaxNesting) {
        return Failure(QueryFault::QueriesNestedTooDeep);
    }
    if (!def.remoteDatabase.isEmpty()) {
        return Failure(QueryFault::ExternalDatabase);
    }
    Result<std::vector<ScopeSource>> sources = resolveSources(def, outer);
    if (!sources) {
        return sources.takeFailure();
    }
    QueryScope scope(std::move(sources).value(), def.columns, m_params, *this, outer);
    const Result<QString> fromSql = buildFromSql(scope, def);
    if (!fromSql) {
        return fromSql.takeFailure();
    }
    scope.takeUsedSources();
    Result<ColumnPlan> plan = planColumns(scope, def);
    if (!plan) {
        return plan.takeFailure();
    }
    if (shape == SelectShape::OneColumn) {
        if (Status one = keepOneColumn(plan.value()); !one) {
            return one.takeFailure();
        }
    }
    qualifyNames(plan->columns, scope);
    const Result<Clauses> clauses = translateClauses(scope, def);
    if (!clauses) {
        return clauses.takeFailure();
    }
    bool distinct = def.selectFlags & SelectFlag::Distinct;
    m_rowByRow =
        m_rowByRow && !plan->aggregate && def.orderBy.empty() &&
        !(def.selectFlags & (SelectFlag::Distinct | SelectFlag::DistinctRow | SelectFlag::Top));
    // A subquery's one column is compared, never shown: its row identities do not matter.
    const Result<QStringList> rowKeys = shape == SelectShape::Rows
                                            ? distinctRowKeys(scope, def, plan.value(), distinct)
                                            : Result<QStringList>(QStringList());
    if (!rowKeys) {
        return rowKeys.takeFailure();
    }

    QStringList selectList, visible;
    TranslatedSelect out = outputColumns(plan->columns, selectList, visible);
    for (int i = 0; i < rowKeys->size(); ++i) {
        selectList << rowKeys.value()[i] + QStringLiteral(" AS d%1").arg(i + 1);
    }
    const bool top = def.selectFlags & SelectFlag::Top;
    QStringList rankOrder;
    for (int i = 0; top && i < clauses->orderKeys.size(); ++i) {
        selectList << QLatin1Char('(') + clauses->orderKeys[i] +
                          QStringLiteral(") AS k%1").arg(i + 1);
        rankOrder << collatedKey(QStringLiteral("k%1").arg(i + 1)) +
                         (def.orderBy[i].descending ? QStringLiteral(" DESC") : QString());
    }
    const QString core = QStringLiteral("SELECT ") +
                         (distinct ? QStringLiteral("DISTINCT ") : QString()) +
                         selectList.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                         fromSql.value() + clauses->tail;
    if (top) {
        Result<QString> sql = applyTop(def, core, visible, rankOrder);
        if (!sql) {
            return sql.takeFailure();
        }
        out.sql = sql.value();
        return out;
    }
    out.sql = core;
    if (!clauses->orderClauses.isEmpty()) {
        out.sql += QStringLiteral(" ORDER BY ") + clauses->orderClauses.join(QStringLiteral(", "));
    }
    return out;
}

}  // namespace korvane
