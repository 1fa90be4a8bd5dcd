#pragma once
// Test doubles for the query engine: tables held in memory, a sink that keeps the result, and
// the designed database of the fixtures (its tables and the MSysQueries rows of its queries).

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "platform/accessquery/AccessQuery.h"

namespace korvane::test {

struct MemoryTable {
    std::vector<TableColumn> columns;
    std::vector<std::vector<DbValue>> rows;
};

class MemoryTables : public TableSource {
public:
    std::map<QString, MemoryTable> tables;
    QStringList reads;     // names asked for, in order
    QString failTable;     // reading this one fails
    bool streams = false;  // offers rows as they are asked for
    int rowsStreamed = 0;  // rows taken that way

    Status readTable(const QString& name, TableRowSink& sink) override;
    std::unique_ptr<TableRowStream> openRowStream(const QString& name) override;
};

class CollectingSink : public QueryRowSink {
public:
    QStringList names;
    std::vector<std::vector<DbValue>> rows;
    int columnCalls = 0;
    int stopAfter = -1;  // stop after this many rows when >= 0

    void columns(const QStringList& columnNames) override {
        names = columnNames;
        ++columnCalls;
    }
    bool row(const std::vector<DbValue>& values) override {
        rows.push_back(values);
        return stopAfter < 0 || static_cast<int>(rows.size()) < stopAfter;
    }
    // Each row as "a|b|c" in the values' text forms, Null as NULL.
    QStringList rowTexts() const;
};

// The text form of a value as the list pane shows it; NULL for Null.
QString cellText(const DbValue& value);

DbValue nullValue();
DbValue integerValue(int64_t v);
DbValue realValue(double v);
DbValue textValue(const QString& v);
DbValue currencyValue(int64_t tenThousandths);
DbValue booleanValue(bool v);
DbValue dateValue(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0);

// One MSysQueries row; `order` is the counter value, stored big-endian in 4 bytes.
QueryDefRow queryRow(int32_t objectId, int attribute, int order, const QString& name1,
                     const QString& name2, const QString& expression, std::optional<int32_t> flag);

// A row of the query being added by addQuery (its object id is filled in there).
QueryDefRow r(int attribute, int order, const QString& name1, const QString& name2,
              const QString& expression, std::optional<int32_t> flag = std::nullopt);

// Adds a query object with the given rows, after the attribute 0 and 255 rows Access writes.
void addQuery(QueryCatalogue& catalogue, int32_t id, const QString& name, uint32_t flags,
              std::vector<QueryDefRow> rows);

// mdb/sample_jet4.mdb as the manifest describes it.
struct DesignedDatabase {
    QueryCatalogue catalogue;
    MemoryTables tables;
};
DesignedDatabase designedDatabase();

// A query named `name` (object id `id`) selecting the given column expressions from the
// given sources, added to `catalogue`.
void addSelectQuery(QueryCatalogue& catalogue, int32_t id, const QString& name,
                    const QStringList& sources, const QStringList& columns,
                    const QString& where = QString(), int selectFlags = 0);

}  // namespace korvane::test
