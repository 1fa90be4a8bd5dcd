#pragma once
// The saved select queries of an Access database: rebuilds a query's Access SQL from its rows in
// MSysQueries and runs it on an in-memory SQLite copy of the tables it needs. The caller owns the
// file and hands over plain rows; this engine never reads the file itself and never writes
// anything.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/DbObjectKind.h"
#include "platform/DbValue.h"
#include "platform/Result.h"
#include "platform/accessquery/QueryFault.h"

namespace korvane {

// One row of MSysQueries. Null columns stay empty strings / std::nullopt.
struct QueryDefRow {
    int32_t objectId = 0;         // ObjectId: the query's Id in MSysObjects
    int attribute = 0;            // Attribute (0..255)
    QString expression;           // Expression
    std::optional<int32_t> flag;  // Flag
    QString name1;                // Name1
    QString name2;                // Name2
    QByteArray order;             // Order, raw bytes as stored (big-endian counter)
};

// One row of MSysObjects.
struct CatalogueObject {
    int32_t id = 0;      // Id
    QString name;        // Name, as stored
    int type = 0;        // Type as stored (signed 16-bit): 1 local table, 5 query, -32768 form...
    uint32_t flags = 0;  // Flags

    // What the object is; a name stands for rows only when isRowSourceKind(kind()).
    DbObjectKind kind() const { return dbObjectKind(type, flags); }
};

// Everything the engine needs to know about the database besides table contents.
struct QueryCatalogue {
    std::vector<CatalogueObject> objects;  // all of MSysObjects (or at least tables and queries)
    std::vector<QueryDefRow> queryRows;    // all of MSysQueries, in any order
};

// One column of a table as the file declares it. `kind` is the kind its non-null values have
// (DbValue::Kind::Null when unknown).
struct TableColumn {
    QString name;
    DbValue::Kind kind = DbValue::Kind::Null;
};

// Receives one table: its columns once, then its rows in stored order.
class TableRowSink {
public:
    virtual ~TableRowSink() = default;
    virtual void columns(const std::vector<TableColumn>& columns) = 0;
    // One value per column. Returns false when the engine wants no more rows (the reader should
    // then stop and return success).
    virtual bool row(const std::vector<DbValue>& values) = 0;
};

// Rows of one table read as they are asked for.
class TableRowStream {
public:
    virtual ~TableRowStream() = default;
    // The next row into `row`: true, or false at the end.
    virtual Result<bool> next(std::vector<DbValue>& row) = 0;
    // Back before the first row.
    virtual Status rewind() = 0;
};

// Implemented by the reader of the file: delivers a local table by its exact catalogue name.
class TableSource {
public:
    virtual ~TableSource() = default;
    // The same rows as readTable, read as they are asked for; null when the source cannot (its
    // tables are then read whole). A query that reads one table row by row - no sort, group,
    // DISTINCT, TOP or subquery - takes its rows from here a few at a time.
    virtual std::unique_ptr<TableRowStream> openRowStream(const QString& tableName) {
        (void)tableName;
        return nullptr;
    }
    // The columns of a table without its rows; by default the first call readTable makes.
    virtual Result<std::vector<TableColumn>> tableColumns(const QString& tableName);
    // Calls sink.columns() once, then sink.row() per row. A failure becomes the inner failure
    // of the query's (QueryFault::TableUnreadable).
    virtual Status readTable(const QString& tableName, TableRowSink& sink) = 0;
};

// Receives a query's result: the output column names once (also for an empty result), then
// the rows.
class QueryRowSink {
public:
    virtual ~QueryRowSink() = default;
    virtual void columns(const QStringList& names) = 0;
    // Returns false to stop early (for example at a record limit); that is not an error.
    virtual bool row(const std::vector<DbValue>& values) = 0;
};

// Rebuilds the Access SQL of the query with the given object id from `rows` (rows of other
// queries are ignored; rows need not be in order), e.g. "SELECT Customers.Name FROM
// Customers;". A failure names the construct that cannot be written.
Result<QString> rebuildAccessSql(int32_t objectId, const std::vector<QueryDefRow>& rows);

// Runs the saved select query `queryName` (the catalogue's name, letter case aside). Reads the
// tables it needs through `tables`, then streams the result to `sink`. Done also when the sink
// stopped early. A failure is QueryFault::CannotRun of the query standing on the construct
// the engine cannot run, or QueryFault::NeedsValue. Rows already passed to the sink before a
// failure stay passed.
Status runSelectQuery(const QString& queryName, const QueryCatalogue& catalogue,
                      TableSource& tables, QueryRowSink& sink);

// A value a parameter query asks for: the name as the query writes it, without its brackets
// ("Start Date", "Forms!Customers!CustomerID"; letter case aside), and the text as typed, read
// the way Access reads it (see readTypedValue).
struct QueryValue {
    QString name;
    QString typed;
};

// Bounds of one run. The defaults suit the viewer; tests lower them.
struct QueryRunOptions {
    // The values of a parameter query (see queryParameters); a name without one fails the run
    // with QueryFault::NeedsValue, which names it.
    std::vector<QueryValue> values;
    // The work the query's statement may do, in SQLite virtual-machine steps: stepBudget, and
    // stepsPerRowRead more for every row of the tables it reads, so the limit grows with the
    // data. A plan close to linear takes some hundreds of steps a row; a query that would run
    // for minutes (a cross join of big tables) ends with an error instead.
    uint64_t stepBudget = 2000000000ULL;
    uint64_t stepsPerRowRead = 20000;
    // Told how far the run has come, at fixed points of its work: before each table it loads
    // and every few thousand rows of it (the share of the tables loaded), and every hundred
    // thousand steps of the statement (-1: no share known). Answering false stops the run: it
    // then fails, and the caller who stopped it knows why.
    std::function<bool(double shareDone)> progress;
};
Status runSelectQuery(const QString& queryName, const QueryCatalogue& catalogue,
                      TableSource& tables, QueryRowSink& sink, const QueryRunOptions& options);

// The values the saved select query `queryName` asks for, in the order Access asks them
// (declared PARAMETERS first, then the names that are no column, as they are met), each once.
// Only the columns of the tables it reads are looked at, never their rows. Empty for a query
// that asks for nothing; a failure as for openSelectQuery when the query cannot be translated.
Result<QStringList> queryParameters(const QString& queryName, const QueryCatalogue& catalogue,
                                    TableSource& tables);

// A typed answer read as Access reads the text of a parameter: a number, a date or time
// ("2024/01/31", "#1/31/2024#", "13:30"), otherwise the text itself; nothing typed is Null.
DbValue readTypedValue(const QString& typed);

// The result of a saved select query, read as it is asked for: the statement is stepped one
// row at a time, so the first rows come at once and a record limit stops the work early. The
// tables it reads are loaded when it opens (only their columns the query uses).
class QueryCursor {
public:
    virtual ~QueryCursor() = default;
    // The output column names (also for an empty result).
    virtual const QStringList& names() const = 0;
    // The next row into `row`: true, or false at the end. A failure names the query.
    virtual Result<bool> next(std::vector<DbValue>& row) = 0;
    // Back before the first row; the query runs again.
    virtual Status rewind() = 0;
};

// Opens the saved select query `queryName`; failures as for runSelectQuery.
Result<std::unique_ptr<QueryCursor>> openSelectQuery(const QString& queryName,
                                                     const QueryCatalogue& catalogue,
                                                     TableSource& tables,
                                                     const QueryRunOptions& options = {});

}  // namespace korvane
