#pragma once
// The in-memory SQLite database a query runs in. It is opened in memory only, with extension
// loading, ATTACH, triggers and views off and tight limits; after the engine has loaded the
// tables a query needs, lockDown() lets only reading statements through. Nothing that reaches
// SQLite from here can touch a file.

#include <sqlite3.h>

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/accessquery/AccessQuery.h"

namespace korvane {

// A column of a table loaded into the sandbox.
struct LoadedColumn {
    QString name;
    DbValue::Kind kind = DbValue::Kind::Null;
    QString sqlName;       // c1, c2, ...
    QString exactSqlName;  // the exact form of a currency or decimal column; empty otherwise
    bool used = false;     // the query reads it: only these are loaded
    // How the query searches it, which decides whether it gets an index: looked up by the
    // rows of a saved query or of the query around a subquery (always indexed), or joined to
    // columns of other tables (indexed when its table is no larger than one of theirs, so the
    // larger table is scanned once and the smaller one reached by key).
    bool lookedUp = false;
    std::vector<const LoadedColumn*> joinedTo;
};

struct LoadedTable {
    QString catalogueName;
    QString sqlName;  // t1, t2, ...
    std::vector<LoadedColumn> columns;
    uint64_t rowCount = 0;  // once loaded
};

class QuerySandbox {
public:
    QuerySandbox();
    ~QuerySandbox();
    QuerySandbox(const QuerySandbox&) = delete;
    QuerySandbox& operator=(const QuerySandbox&) = delete;

    // Opens the database and registers the Access functions.
    Status open();

    // The columns of `tableName` under new SQL names, before any row is read.
    Result<LoadedTable> describeTable(TableSource& source, const QString& tableName);
    // Reads the rows of a described table, only its used columns, and counts them. Only
    // before lockDown().
    Status loadTable(TableSource& source, LoadedTable& table);
    // An index on a loaded table's column, in the collation every comparison uses. Only
    // before lockDown().
    Status indexColumn(const LoadedTable& table, const LoadedColumn& column);

    // A described table that holds a few of its rows at a time: created empty, with the
    // statements that refill it made now, before lockDown().
    Status prepareStreamedTable(const LoadedTable& table);
    // Replaces the streamed table's rows with the next `maxRows` of `rows`; false when none
    // were left.
    Result<bool> refillStreamedTable(TableRowStream& rows, int maxRows);

    // From here on only SELECT statements over the loaded tables and the allowed functions run.
    void lockDown();

    sqlite3* handle() const { return m_db; }
    // Why the last statement on the sandbox failed: the failure an Access function stopped it
    // with, or SQLite's own error by what it means.
    Failure failure();

    // The work one statement may do, counted in SQLite virtual-machine steps; a statement that
    // goes beyond it is interrupted (a runaway cross join ends with an error, not a hang).
    void setStepBudget(uint64_t steps);
    bool budgetExceeded() const { return m_budgetExceeded; }

    // Asked at fixed points of long work (every few thousand rows loaded, every hundred
    // thousand steps of a statement) whether to go on; false stops the load or interrupts the
    // statement.
    void setKeepGoing(std::function<bool()> keepGoing) { m_keepGoing = std::move(keepGoing); }
    bool keepGoing() { return !m_keepGoing || m_keepGoing(); }

private:
    static int progress(void* self);

    // Where the Access functions leave the failure they stop a statement with (see failure()).
    std::optional<Failure> m_raised;
    sqlite3* m_db = nullptr;
    std::unique_ptr<class TableLoader> m_streamed;
    LoadedTable m_streamedTable;
    sqlite3_stmt* m_begin = nullptr;
    sqlite3_stmt* m_commit = nullptr;
    sqlite3_stmt* m_clear = nullptr;
    bool m_refilling = false;
    int m_tableCount = 0;
    uint64_t m_stepsLeft = 0;
    bool m_budgetExceeded = false;
    std::function<bool()> m_keepGoing;
    uint64_t m_progressCalls = 0;
};

// Limits of the engine, also used by the translator.
namespace QueryLimits {
constexpr int kMaxSqlLength = 4 * 1024 * 1024;
constexpr int kMaxValueLength = 256 * 1024 * 1024;
constexpr int kMaxColumns = 2000;
constexpr int kMaxExprDepth = 400;
constexpr int kMaxNesting = 16;  // saved queries inside saved queries
constexpr int kMaxSources = 32;  // tables and queries in one FROM
constexpr uint64_t kDefaultStepBudget = 20000000000ULL;
}  // namespace QueryLimits

}  // namespace korvane
