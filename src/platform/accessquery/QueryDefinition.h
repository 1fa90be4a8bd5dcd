#pragma once
// A saved query's MSysQueries rows gathered into clauses: the tables it reads, its output
// columns, joins, conditions, groups and sort keys. Shared by the SQL rebuilder and the
// translator.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "platform/Result.h"
#include "platform/accessquery/AccessQuery.h"

namespace korvane {

// Values of attribute 1 (query type).
enum class QueryType {
    Select = 1,
    MakeTable = 2,
    Append = 3,
    Update = 4,
    Delete = 5,
    Crosstab = 6,
    DataDefinition = 7,
    PassThrough = 8,
    Union = 9,
};

// Bits of attribute 3 (select flags).
namespace SelectFlag {
constexpr int Star = 0x01;
constexpr int Distinct = 0x02;
constexpr int OwnerAccess = 0x04;
constexpr int DistinctRow = 0x08;
constexpr int Top = 0x10;
constexpr int Percent = 0x20;
}  // namespace SelectFlag

struct QuerySourceDef {
    QString name;      // table or query name (Name1)
    QString alias;     // Name2, may be empty
    QString database;  // Expression: an external database; empty for this file
    QString subquery;  // the SELECT of a derived table, FROM (SELECT ...) AS alias
    const QString& key() const { return alias.isEmpty() ? name : alias; }
};

struct QueryColumnDef {
    QString expression;
    QString alias;
};

struct QueryJoinDef {
    QString left;  // source keys
    QString right;
    QString on;
    int kind = 1;  // 1 inner, 2 left, 3 right
};

struct QueryOrderDef {
    QString expression;
    bool descending = false;
};

struct QueryParameterDef {
    QString name;
    int type = 0;
};

struct QueryDefinition {
    int type = 0;  // QueryType value; 0 when the rows give none
    int selectFlags = 0;
    QString topValue;  // attribute 3 Name1 when SelectFlag::Top is set
    QString remoteDatabase;
    std::vector<QueryParameterDef> parameters;
    std::vector<QuerySourceDef> sources;
    std::vector<QueryColumnDef> columns;
    std::vector<QueryJoinDef> joins;
    QString where;
    QStringList groupBy;
    QString having;
    std::vector<QueryOrderDef> orderBy;
    QStringList unionParts;  // attribute 5 rows of a union query, whole SQL texts
};

// Gathers the rows of one query (sorted by attribute, then Order). Fails when a clause that
// may appear only once appears twice.
Result<QueryDefinition> collectQueryDefinition(int32_t objectId,
                                               const std::vector<QueryDefRow>& rows);

// The SELECT of a derived table written "(SELECT ...)", as Access 97 writes it
// ("[SELECT ...]."), or bare; empty when `text` is none of these.
QString derivedTableSelect(const QString& text);

// The FROM clause as a forest: each item is a single source or a join of two items.
struct FromItem {
    int source = -1;  // index into QueryDefinition::sources when this is a single source
    std::unique_ptr<FromItem> left;
    std::unique_ptr<FromItem> right;
    int joinKind = 0;
    QStringList on;  // conditions, joined with AND

    bool containsKey(const QString& key, const QueryDefinition& def) const;
};

// Combines the sources with the join rows, the way Access nests them: each join takes the
// items that hold its two tables and replaces them with one joined item.
using FromItems = std::vector<std::unique_ptr<FromItem>>;
Result<FromItems> buildFromItems(const QueryDefinition& def);

// Access's bracket quoting of an identifier when it needs it.
QString quoteAccessName(const QString& name);

}  // namespace korvane
