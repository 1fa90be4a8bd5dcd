#include "platform/accessquery/QuerySandbox.h"

#include <cstring>
#include <memory>

#include "platform/accessquery/AccessExpr.h"
#include "platform/accessquery/QueryFault.h"
#include "platform/accessquery/SqlArgs.h"
#include "platform/accessquery/SqlFunctions.h"

namespace korvane {

using Kind = DbValue::Kind;

namespace {

constexpr int kProgressInterval = 1000;
// Steps of a statement, in progress intervals, and rows loaded between two questions whether
// to go on.
constexpr uint64_t kKeepGoingEvery = 100;
constexpr uint64_t kRowsBetweenQuestions = 4096;

// After lockDown(): reading our own tables and calling our functions, nothing else.
int authorize(void* refilling, int action, const char* arg1, const char* arg2, const char* database,
              const char*) {
    // Our own statements that refill a streamed table are made again after the lock-down (it
    // expires every statement); nothing else runs while they do.
    if (*static_cast<const bool*>(refilling)) {
        return SQLITE_OK;
    }
    switch (action) {
        case SQLITE_SELECT:
            return SQLITE_OK;
        case SQLITE_READ:
            // arg1 is the table; our tables are t1, t2, ... in "main"; never the schema. A
            // table read for no column in particular comes without a database name.
            if (!arg1 || std::strncmp(arg1, "sqlite_", 7) == 0) {
                return SQLITE_DENY;
            }
            return !database || std::strcmp(database, "main") == 0 ? SQLITE_OK : SQLITE_DENY;
        case SQLITE_FUNCTION:
            return isAllowedSqlFunction(arg2) ? SQLITE_OK : SQLITE_DENY;
        default:
            return SQLITE_DENY;
    }
}

}  // namespace

namespace {

// SQLite's own last error on `db` (its messages are English) by what it means.
Failure sqliteFailure(sqlite3* db) {
    static const struct {
        const char* message;
        QueryFault cause;
    } known[] = {
        {"integer overflow", QueryFault::SqliteIntegerOverflow},
        {"too big", QueryFault::SqliteTooBig},
        {"out of memory", QueryFault::SqliteOutOfMemory},
        {"interrupt", QueryFault::SqliteInterrupted},
        {"not authorized", QueryFault::SqliteNotAuthorized},
        {"too many columns", QueryFault::SqliteTooManyColumns},
        {"too large", QueryFault::SqliteTooComplex},
        {"stack overflow", QueryFault::SqliteTooComplex},
        {"too many", QueryFault::SqliteTooComplex},
        {"pattern too complex", QueryFault::SqliteLikeTooComplex},
    };
    const QString message = QString::fromUtf8(sqlite3_errmsg(db));
    for (const auto& entry : known) {
        if (message.contains(QLatin1String(entry.message), Qt::CaseInsensitive)) {
            return Failure(entry.cause);
        }
    }
    return Failure(QueryFault::SqliteError, {QString::number(sqlite3_extended_errcode(db))});
}

// Statements of the engine's own (BEGIN, CREATE TABLE, CREATE INDEX): no Access function runs.
Status exec(sqlite3* db, const QString& sql) {
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        return sqliteFailure(db);
    }
    return Done{};
}

bool needsExactColumn(Kind kind) {
    return kind == Kind::Currency || kind == Kind::Decimal;
}

}  // namespace

// Receives the table's rows from the reader and inserts the values of the used columns. Its
// statements run no Access function: a failure of theirs is SQLite's own.
class TableLoader : public TableRowSink {
public:
    TableLoader(sqlite3* db, const LoadedTable& table, std::function<bool()> keepGoing = {})
        : m_db(db), m_table(table), m_keepGoing(std::move(keepGoing)) {}
    ~TableLoader() override { sqlite3_finalize(m_insert); }

    void columns(const std::vector<TableColumn>& columns) override {
        if (m_insert || m_error) {
            return fail(Failure(QueryFault::ColumnListTwice));
        }
        if (columns.size() != m_table.columns.size()) {
            return fail(Failure(QueryFault::ColumnCountChanged));
        }
        QStringList defs;
        for (size_t i = 0; i < columns.size(); ++i) {
            const LoadedColumn& column = m_table.columns[i];
            if (!column.used) {
                continue;
            }
            QString def = column.sqlName;
            if (column.kind == Kind::Text || column.kind == Kind::Null ||
                column.kind == Kind::Guid) {
                def += QStringLiteral(" COLLATE ") + QLatin1String(kTextCollation);
            }
            defs << def;
            m_bound.push_back({i, static_cast<int>(defs.size()), !column.exactSqlName.isEmpty()});
            if (!column.exactSqlName.isEmpty()) {
                defs << column.exactSqlName;
            }
        }
        if (Status created = exec(m_db, QStringLiteral("CREATE TABLE %1 (%2)")
                                            .arg(m_table.sqlName, defs.join(QStringLiteral(", "))));
            !created) {
            return fail(created.takeFailure());
        }
        QStringList marks;
        for (int i = 1; i <= defs.size(); ++i) {
            marks << QStringLiteral("?%1").arg(i);
        }
        const QByteArray sql = QStringLiteral("INSERT INTO %1 VALUES (%2)")
                                   .arg(m_table.sqlName, marks.join(QStringLiteral(", ")))
                                   .toUtf8();
        if (sqlite3_prepare_v2(m_db, sql.constData(), static_cast<int>(sql.size()), &m_insert,
                               nullptr) != SQLITE_OK) {
            fail(sqliteFailure(m_db));
        }
    }

    bool row(const std::vector<DbValue>& values) override {
        if (m_error) {
            return false;
        }
        if (!m_insert) {
            fail(Failure(QueryFault::RowBeforeColumns));
            return false;
        }
        if (values.size() != m_table.columns.size()) {
            fail(Failure(QueryFault::RowValueCount, {QString::number(values.size()),
                                                     QString::number(m_table.columns.size())}));
            return false;
        }
        sqlite3_reset(m_insert);
        sqlite3_clear_bindings(m_insert);
        for (const Bound& bound : m_bound) {
            if (!bindValue(values[bound.column], bound.parameter, bound.exact)) {
                return false;
            }
        }
        if (sqlite3_step(m_insert) != SQLITE_DONE) {
            fail(sqliteFailure(m_db));
            return false;
        }
        ++m_rowCount;
        if (m_keepGoing && m_rowCount % kRowsBetweenQuestions == 0 && !m_keepGoing()) {
            fail(Failure(QueryFault::LoadStopped));
            return false;
        }
        return true;
    }

    uint64_t rowCount() const { return m_rowCount; }

    Status finish() {
        if (!m_error && !m_insert) {
            m_error = Failure(QueryFault::NoColumnList);
        }
        if (m_error) {
            return *m_error;
        }
        return Done{};
    }

private:
    uint64_t m_rowCount = 0;
    struct Bound {
        size_t column;
        int parameter;
        bool exact;
    };

    // The first failure stands: the reader may go on calling after it.
    void fail(Failure failure) {
        if (!m_error) {
            m_error = std::move(failure);
        }
    }

    bool bindText(int index, const QString& text) {
        const QByteArray bytes = text.toUtf8();
        return check(sqlite3_bind_text64(m_insert, index, bytes.constData(),
                                         static_cast<sqlite3_uint64>(bytes.size()),
                                         SQLITE_TRANSIENT, SQLITE_UTF8));
    }

    bool check(int rc) {
        if (rc != SQLITE_OK) {
            fail(sqliteFailure(m_db));
            return false;
        }
        return true;
    }
    // The value in the form expressions compute with; currency and decimal values also in
    // their exact form in the following parameter.
    bool bindValue(const DbValue& v, int index, bool hasExact) {
        switch (v.kind) {
            case Kind::Null:
                return true;  // cleared bindings are NULL
            case Kind::Boolean:
                return check(sqlite3_bind_int64(m_insert, index, v.integer ? -1 : 0));
            case Kind::Integer:
                return check(sqlite3_bind_int64(m_insert, index, v.integer));
            case Kind::Real:
            case Kind::DateTime:
                return check(sqlite3_bind_double(m_insert, index, v.real));
            case Kind::Currency:
                if (!check(sqlite3_bind_double(m_insert, index,
                                               static_cast<double>(v.integer) / 10000.0))) {
                    return false;
                }
                return !hasExact || check(sqlite3_bind_int64(m_insert, index + 1, v.integer));
            case Kind::Decimal:
                if (!check(sqlite3_bind_double(m_insert, index, v.text.toDouble()))) {
                    return false;
                }
                return !hasExact || bindText(index + 1, v.text);
            case Kind::Text:
            case Kind::Guid:
                return bindText(index, v.text);
            case Kind::Binary:
                return check(sqlite3_bind_blob64(m_insert, index, v.bytes.constData(),
                                                 static_cast<sqlite3_uint64>(v.bytes.size()),
                                                 SQLITE_TRANSIENT));
        }
        return true;
    }

    sqlite3* m_db;
    const LoadedTable& m_table;
    std::function<bool()> m_keepGoing;
    sqlite3_stmt* m_insert = nullptr;
    std::vector<Bound> m_bound;
    std::optional<Failure> m_error;
};

QuerySandbox::QuerySandbox() = default;

QuerySandbox::~QuerySandbox() {
    m_streamed.reset();
    sqlite3_finalize(m_begin);
    sqlite3_finalize(m_commit);
    sqlite3_finalize(m_clear);
    sqlite3_close_v2(m_db);
}

Status QuerySandbox::open() {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY |
                      SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE;
    if (sqlite3_open_v2(":memory:", &m_db, flags, nullptr) != SQLITE_OK) {
        return Failure(QueryFault::SandboxNotCreated);
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_limit(m_db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, QueryLimits::kMaxValueLength);
    sqlite3_limit(m_db, SQLITE_LIMIT_SQL_LENGTH, QueryLimits::kMaxSqlLength);
    sqlite3_limit(m_db, SQLITE_LIMIT_COLUMN, QueryLimits::kMaxColumns);
    sqlite3_limit(m_db, SQLITE_LIMIT_EXPR_DEPTH, QueryLimits::kMaxExprDepth);
    sqlite3_limit(m_db, SQLITE_LIMIT_COMPOUND_SELECT, 2);
    sqlite3_limit(m_db, SQLITE_LIMIT_FUNCTION_ARG, 8);
    sqlite3_limit(m_db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 1000);
    sqlite3_limit(m_db, SQLITE_LIMIT_TRIGGER_DEPTH, 1);
    sqlite3_limit(m_db, SQLITE_LIMIT_VARIABLE_NUMBER, 100000);
    sqlite3_limit(m_db, SQLITE_LIMIT_WORKER_THREADS, 0);
    if (Status registered = registerAccessFunctions(m_db, m_raised); !registered) {
        return registered;
    }
    return exec(m_db, QStringLiteral("PRAGMA temp_store = MEMORY"));
}

Result<LoadedTable> QuerySandbox::describeTable(TableSource& source, const QString& tableName) {
    Result<std::vector<TableColumn>> columns = source.tableColumns(tableName);
    if (!columns) {
        return columns.takeFailure();
    }
    if (columns->empty() || columns->size() > static_cast<size_t>(QueryLimits::kMaxColumns / 2)) {
        return Failure(QueryFault::TableColumnCount, {QString::number(columns->size())});
    }
    LoadedTable table;
    table.catalogueName = tableName;
    table.sqlName = QStringLiteral("t%1").arg(++m_tableCount);
    for (size_t i = 0; i < columns.value().size(); ++i) {
        LoadedColumn column;
        column.name = columns.value()[i].name;
        column.kind = columns.value()[i].kind;
        column.sqlName = QStringLiteral("c%1").arg(i + 1);
        if (needsExactColumn(column.kind)) {
            column.exactSqlName = column.sqlName + QLatin1Char('x');
        }
        table.columns.push_back(column);
    }
    return table;
}

// The index takes the collation every comparison uses, or SQLite could not use it (numbers
// never reach the collation).
Status QuerySandbox::indexColumn(const LoadedTable& table, const LoadedColumn& column) {
    return exec(m_db, QStringLiteral("CREATE INDEX %1_%2 ON %1 (%2 COLLATE %3)")
                          .arg(table.sqlName, column.sqlName, QLatin1String(kTextCollation)));
}

Status QuerySandbox::loadTable(TableSource& source, LoadedTable& described) {
    // A table read for its rows alone (Count(*)) still needs one column to hold them.
    LoadedTable table = described;
    bool anyUsed = false;
    for (const LoadedColumn& column : table.columns) {
        anyUsed = anyUsed || column.used;
    }
    table.columns.front().used = table.columns.front().used || !anyUsed;
    if (Status begun = exec(m_db, QStringLiteral("BEGIN")); !begun) {
        return begun;
    }
    if (!keepGoing()) {
        exec(m_db, QStringLiteral("ROLLBACK"));
        return Failure(QueryFault::LoadStopped);
    }
    TableLoader loader(m_db, table, [this] { return keepGoing(); });
    const Status read = source.readTable(table.catalogueName, loader);
    const Status loaded = loader.finish();
    if (!read || !loaded) {
        exec(m_db, QStringLiteral("ROLLBACK"));
        return !read ? read.takeFailure() : loaded.takeFailure();
    }
    described.rowCount = loader.rowCount();
    return exec(m_db, QStringLiteral("COMMIT"));
}

Status QuerySandbox::prepareStreamedTable(const LoadedTable& table) {
    m_streamedTable = table;
    bool anyUsed = false;
    for (const LoadedColumn& column : table.columns) {
        anyUsed = anyUsed || column.used;
    }
    m_streamedTable.columns.front().used = m_streamedTable.columns.front().used || !anyUsed;
    m_streamed = std::make_unique<TableLoader>(m_db, m_streamedTable);
    std::vector<TableColumn> columns;
    for (const LoadedColumn& column : m_streamedTable.columns) {
        columns.push_back({column.name, column.kind});
    }
    m_streamed->columns(columns);
    const QString statements[] = {QStringLiteral("BEGIN"), QStringLiteral("COMMIT"),
                                  QStringLiteral("DELETE FROM ") + table.sqlName};
    sqlite3_stmt** targets[] = {&m_begin, &m_commit, &m_clear};
    for (int i = 0; i < 3; ++i) {
        const QByteArray sql = statements[i].toUtf8();
        if (sqlite3_prepare_v2(m_db, sql.constData(), static_cast<int>(sql.size()), targets[i],
                               nullptr) != SQLITE_OK) {
            return sqliteFailure(m_db);
        }
    }
    return m_streamed->finish();
}

Result<bool> QuerySandbox::refillStreamedTable(TableRowStream& rows, int maxRows) {
    struct Refilling {
        explicit Refilling(bool& flag) : on(flag) { on = true; }
        ~Refilling() { on = false; }
        bool& on;
    } refilling(m_refilling);
    for (sqlite3_stmt* stmt : {m_begin, m_clear}) {
        sqlite3_reset(stmt);
        if (sqlite3_step(stmt) != SQLITE_DONE) {
            return sqliteFailure(m_db);
        }
    }
    int loaded = 0;
    std::vector<DbValue> row;
    Status status = Done{};
    while (loaded < maxRows) {
        Result<bool> next = rows.next(row);
        if (!next) {
            status = next.takeFailure();
            break;
        }
        if (!next.value()) {
            break;
        }
        if (!m_streamed->row(row)) {
            status = m_streamed->finish();
            break;
        }
        ++loaded;
    }
    sqlite3_reset(m_commit);
    if (sqlite3_step(m_commit) != SQLITE_DONE && status.ok()) {
        status = sqliteFailure(m_db);
    }
    if (!status) {
        return status.takeFailure();
    }
    return loaded > 0;
}

Failure QuerySandbox::failure() {
    if (m_raised && std::strcmp(sqlite3_errmsg(m_db), kRaisedFailure) == 0) {
        Failure raised = std::move(*m_raised);
        m_raised.reset();
        return raised;
    }
    return sqliteFailure(m_db);
}

void QuerySandbox::lockDown() {
    sqlite3_set_authorizer(m_db, authorize, &m_refilling);
}

void QuerySandbox::setStepBudget(uint64_t steps) {
    m_stepsLeft = steps / kProgressInterval + 1;
    m_budgetExceeded = false;
    sqlite3_progress_handler(m_db, kProgressInterval, &QuerySandbox::progress, this);
}

int QuerySandbox::progress(void* self) {
    auto* sandbox = static_cast<QuerySandbox*>(self);
    if (sandbox->m_stepsLeft == 0) {
        sandbox->m_budgetExceeded = true;
        return 1;
    }
    --sandbox->m_stepsLeft;
    if (++sandbox->m_progressCalls % kKeepGoingEvery == 0 && !sandbox->keepGoing()) {
        return 1;
    }
    return 0;
}

}  // namespace korvane
