// The Access SQL text of a saved query, put together from its MSysQueries rows the way Access
// shows it in SQL view.

#include "platform/accessquery/AccessQuery.h"
#include "platform/accessquery/QueryDefinition.h"
#include "platform/accessquery/QueryFault.h"

namespace korvane {

namespace {

QString parameterTypeName(int type) {
    switch (type) {
        case 1:
            return QStringLiteral("Bit");
        case 2:
            return QStringLiteral("Byte");
        case 3:
            return QStringLiteral("Short");
        case 4:
            return QStringLiteral("Long");
        case 5:
            return QStringLiteral("Currency");
        case 6:
            return QStringLiteral("IEEESingle");
        case 7:
            return QStringLiteral("IEEEDouble");
        case 8:
            return QStringLiteral("DateTime");
        case 9:
            return QStringLiteral("Binary");
        case 10:
            return QStringLiteral("Text");
        case 11:
            return QStringLiteral("LongBinary");
        case 15:
            return QStringLiteral("Guid");
        default:
            return QStringLiteral("Value");
    }
}

QString sourceText(const QuerySourceDef& source) {
    if (!source.subquery.isEmpty()) {
        return QLatin1Char('(') + source.subquery + QStringLiteral(") AS ") +
               quoteAccessName(source.alias);
    }
    QString text;
    if (!source.database.isEmpty()) {
        text += quoteAccessName(source.database) + QLatin1Char('.');
    }
    text += quoteAccessName(source.name);
    if (!source.alias.isEmpty()) {
        text += QStringLiteral(" AS ") + quoteAccessName(source.alias);
    }
    return text;
}

QString fromItemText(const FromItem& item, const QueryDefinition& def, bool topLevel) {
    if (item.source >= 0) {
        return sourceText(def.sources[item.source]);
    }
    static const char* const kinds[] = {"", " INNER JOIN ", " LEFT JOIN ", " RIGHT JOIN "};
    QString on = item.on.size() == 1 ? item.on.front()
                                     : QLatin1Char('(') + item.on.join(QStringLiteral(") AND (")) +
                                           QLatin1Char(')');
    QString text = fromItemText(*item.left, def, false) + QLatin1String(kinds[item.joinKind]) +
                   fromItemText(*item.right, def, false) + QStringLiteral(" ON ") + on;
    return topLevel ? text : QLatin1Char('(') + text + QLatin1Char(')');
}

Result<QString> selectText(const QueryDefinition& def) {
    QString sql;
    if (!def.parameters.empty()) {
        QStringList params;
        for (const QueryParameterDef& p : def.parameters) {
            params << QLatin1Char('[') + p.name + QStringLiteral("] ") + parameterTypeName(p.type);
        }
        sql += QStringLiteral("PARAMETERS ") + params.join(QStringLiteral(", ")) +
               QStringLiteral(";\r\n");
    }
    sql += QStringLiteral("SELECT ");
    if (def.selectFlags & SelectFlag::Distinct) {
        sql += QStringLiteral("DISTINCT ");
    } else if (def.selectFlags & SelectFlag::DistinctRow) {
        sql += QStringLiteral("DISTINCTROW ");
    }
    if (def.selectFlags & SelectFlag::Top) {
        sql += QStringLiteral("TOP ") + def.topValue +
               ((def.selectFlags & SelectFlag::Percent) ? QStringLiteral(" PERCENT ")
                                                        : QStringLiteral(" "));
    }
    QStringList columns;
    for (const QueryColumnDef& column : def.columns) {
        columns << (column.alias.isEmpty() ? column.expression
                                           : column.expression + QStringLiteral(" AS ") +
                                                 quoteAccessName(column.alias));
    }
    if (def.selectFlags & SelectFlag::Star) {
        columns << QStringLiteral("*");
    }
    sql += columns.join(QStringLiteral(", "));

    Result<FromItems> items = buildFromItems(def);
    if (!items) {
        return items.takeFailure();
    }
    if (!items->empty()) {
        QStringList from;
        for (const auto& item : items.value()) {
            from << fromItemText(*item, def, true);
        }
        sql += QStringLiteral("\r\nFROM ") + from.join(QStringLiteral(", "));
    }
    if (!def.where.isEmpty()) {
        sql += QStringLiteral("\r\nWHERE ") + def.where;
    }
    if (!def.groupBy.isEmpty()) {
        sql += QStringLiteral("\r\nGROUP BY ") + def.groupBy.join(QStringLiteral(", "));
    }
    if (!def.having.isEmpty()) {
        sql += QStringLiteral("\r\nHAVING ") + def.having;
    }
    if (!def.orderBy.empty()) {
        QStringList keys;
        for (const QueryOrderDef& key : def.orderBy) {
            keys << (key.descending ? key.expression + QStringLiteral(" DESC") : key.expression);
        }
        sql += QStringLiteral("\r\nORDER BY ") + keys.join(QStringLiteral(", "));
    }
    if (def.selectFlags & SelectFlag::OwnerAccess) {
        sql += QStringLiteral("\r\nWITH OWNERACCESS OPTION");
    }
    return sql + QLatin1Char(';');
}

}  // namespace

Result<QString> rebuildAccessSql(int32_t objectId, const std::vector<QueryDefRow>& rows) {
    Result<QueryDefinition> collected = collectQueryDefinition(objectId, rows);
    if (!collected) {
        return collected.takeFailure();
    }
    const QueryDefinition& def = collected.value();
    switch (static_cast<QueryType>(def.type)) {
        case QueryType::Select:
            return selectText(def);
        case QueryType::Union: {
            // Attribute 3 of a union says UNION (flag 3) or UNION ALL (flag 1).
            const bool all = (def.selectFlags & 2) == 0;
            QStringList parts;
            for (const QString& part : def.unionParts) {
                parts << part.trimmed();
            }
            return parts.join(all ? QStringLiteral("\r\nUNION ALL ")
                                  : QStringLiteral("\r\nUNION ")) +
                   QLatin1Char(';');
        }
        default:
            return Failure(QueryFault::NotSelectType, {QString::number(def.type)});
    }
}

}  // namespace korvane
