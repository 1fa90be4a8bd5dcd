// Running a saved select query: load the tables it reads into a fresh sandbox, translate it,
// lock the sandbox down to reading, and stream the result with the value kinds of the source.

#include "platform/accessquery/AccessQuery.h"

#include <cmath>
#include <map>

#include "platform/accessquery/QueryFault.h"
#include "platform/accessquery/QuerySandbox.h"
#include "platform/accessquery/QueryTranslator.h"

namespace korvane {

using Kind = DbValue::Kind;

namespace {

// Receives the columns of a table and nothing more.
class ColumnsOnly : public TableRowSink {
public:
    void columns(const std::vector<TableColumn>& columns) override {
        received = columns;
        seen = true;
    }
    bool row(const std::vector<DbValue>&) override { return false; }
    std::vector<TableColumn> received;
    bool seen = false;
};

}  // namespace

Result<std::vector<TableColumn>> TableSource::tableColumns(const QString& tableName) {
    ColumnsOnly columns;
    if (Status read = readTable(tableName, columns); !read) {
        return read.takeFailure();
    }
    if (!columns.seen) {
        return Failure(QueryFault::NoColumnList);
    }
    return columns.received;
}

namespace {

// The tables a query reads: described when the translator first names them, loaded (only
// the columns it used) once the translation is done.
class SandboxTables : public TableProvider {
public:
    SandboxTables(QuerySandbox& sandbox, TableSource& source)
        : m_sandbox(sandbox), m_source(source) {}

    Result<LoadedTable*> table(const QString& name) override {
        auto found = m_tables.find(name);
        if (found == m_tables.end()) {
            Result<LoadedTable> described = m_sandbox.describeTable(m_source, name);
            if (!described) {
                return unreadable(name, described.takeFailure());
            }
            found = m_tables.emplace(name, std::move(described).value()).first;
        }
        return &found->second;
    }

    // The only table described, when there is one.
    const LoadedTable* onlyTable() const {
        return m_tables.size() == 1 ? &m_tables.begin()->second : nullptr;
    }

    // `share` follows the tables loaded, for the progress told to the caller.
    Status loadAll(double& share) {
        size_t loadedCount = 0;
        for (auto& [name, table] : m_tables) {
            share = static_cast<double>(loadedCount++) / static_cast<double>(m_tables.size());
            if (Status loaded = m_sandbox.loadTable(m_source, table); !loaded) {
                return unreadable(name, loaded.takeFailure());
            }
        }
        share = 1.0;
        return indexKeys();
    }

    uint64_t rowsLoaded() const {
        uint64_t rows = 0;
        for (const auto& entry : m_tables) {
            rows += entry.second.rowCount;
        }
        return rows;
    }

private:
    // Joins and look-ups reach their rows by key, so a query over tables of hundreds of
    // thousands of rows stays close to linear: a column is indexed where the query searches
    // it (see LoadedColumn).
    Status indexKeys() {
        std::map<const LoadedColumn*, uint64_t> rowsOf;
        for (const auto& [name, table] : m_tables) {
            for (const LoadedColumn& column : table.columns) {
                rowsOf[&column] = table.rowCount;
            }
        }
        for (const auto& [name, table] : m_tables) {
            for (const LoadedColumn& column : table.columns) {
                bool wanted = column.lookedUp;
                for (const LoadedColumn* other : column.joinedTo) {
                    wanted = wanted || table.rowCount <= rowsOf[other];
                }
                if (!column.used || !wanted) {
                    continue;
                }
                if (Status indexed = m_sandbox.indexColumn(table, column); !indexed) {
                    return unreadable(name, indexed.takeFailure());
                }
            }
        }
        return Done{};
    }

    static Failure unreadable(const QString& name, Failure cause) {
        return Failure(QueryFault::TableUnreadable, {quoteAccessName(name)}, std::move(cause));
    }

    QuerySandbox& m_sandbox;
    TableSource& m_source;
    std::map<QString, LoadedTable> m_tables;
};

DbValue storedValue(sqlite3_stmt* stmt, int index) {
    DbValue value;
    switch (sqlite3_column_type(stmt, index)) {
        case SQLITE_INTEGER:
            value.kind = Kind::Integer;
            value.integer = sqlite3_column_int64(stmt, index);
            break;
        case SQLITE_FLOAT:
            value.kind = Kind::Real;
            value.real = sqlite3_column_double(stmt, index);
            break;
        case SQLITE_TEXT:
            value.kind = Kind::Text;
            value.text =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, index)),
                                  sqlite3_column_bytes(stmt, index));
            break;
        case SQLITE_BLOB: {
            const void* bytes = sqlite3_column_blob(stmt, index);
            value.kind = Kind::Binary;
            value.bytes =
                QByteArray(static_cast<const char*>(bytes), sqlite3_column_bytes(stmt, index));
            break;
        }
        default:
            break;
    }
    return value;
}

// The value of an output column in the kind its source or expression has.
DbValue resultValue(sqlite3_stmt* stmt, const OutputColumn& column) {
    DbValue value = storedValue(stmt, column.valueIndex);
    const bool number = value.kind == Kind::Integer || value.kind == Kind::Real;
    const double real =
        value.kind == Kind::Integer ? static_cast<double>(value.integer) : value.real;
    switch (column.kind) {
        case Kind::Boolean:
            if (number) {
                value.kind = Kind::Boolean;
                value.integer = real != 0 ? 1 : 0;
            }
            break;
        case Kind::DateTime:
            if (number) {
                value.kind = Kind::DateTime;
                value.real = real;
            }
            break;
        case Kind::Currency:
            if (column.exactIndex >= 0 &&
                sqlite3_column_type(stmt, column.exactIndex) == SQLITE_INTEGER) {
                value.kind = Kind::Currency;
                value.integer = sqlite3_column_int64(stmt, column.exactIndex);
            } else if (number && std::fabs(real) < 9.2e14) {
                value.kind = Kind::Currency;
                value.integer = std::llround(real * 10000.0);
            }
            break;
        case Kind::Decimal:
            if (column.exactIndex >= 0 &&
                sqlite3_column_type(stmt, column.exactIndex) == SQLITE_TEXT) {
                value = storedValue(stmt, column.exactIndex);
                value.kind = Kind::Decimal;
            } else if (value.kind == Kind::Integer) {
                value.kind = Kind::Real;
                value.real = real;
            }
            break;
        case Kind::Real:
            if (value.kind == Kind::Integer) {
                value.kind = Kind::Real;
                value.real = real;
            }
            break;
        case Kind::Guid:
            if (value.kind == Kind::Text) {
                value.kind = Kind::Guid;
            }
            break;
        default:
            break;
    }
    return value;
}

// A literal or a value the query asked for: text, a number or a date serial (Null stays the
// statement's cleared binding).
bool bindParameter(sqlite3_stmt* stmt, int index, const DbValue& value) {
    switch (value.kind) {
        case Kind::Null:
            return true;
        case Kind::Integer:
            return sqlite3_bind_int64(stmt, index, value.integer) == SQLITE_OK;
        case Kind::Real:
        case Kind::DateTime:
            return sqlite3_bind_double(stmt, index, value.real) == SQLITE_OK;
        default: {
            const QByteArray bytes = value.text.toUtf8();
            return sqlite3_bind_text64(stmt, index, bytes.constData(),
                                       static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT,
                                       SQLITE_UTF8) == SQLITE_OK;
        }
    }
}

// The failure a person is shown: the query, and why it cannot run.
Failure cannotRun(const QString& queryName, Failure why) {
    return Failure(QueryFault::CannotRun, {queryName}, std::move(why));
}

// The value the query asks for, when the lack of it is why the translation failed.
const Failure* valueNeeded(const Failure& failure) {
    for (const Failure* f = &failure; f; f = f->inner()) {
        if (f->is(QueryFault::ValueNeeded)) {
            return f;
        }
    }
    return nullptr;
}

// A statement stepped as rows are asked for, in the sandbox that holds its tables.
class SandboxCursor : public QueryCursor {
public:
    SandboxCursor(QString queryName, std::unique_ptr<QuerySandbox> sandbox, TranslatedSelect select,
                  uint64_t stepBudget)
        : m_queryName(std::move(queryName)),
          m_sandbox(std::move(sandbox)),
          m_select(std::move(select)),
          m_stepBudget(stepBudget) {
        for (const OutputColumn& column : m_select.columns) {
            m_names << column.name;
        }
    }
    ~SandboxCursor() override { sqlite3_finalize(m_stmt); }

    // Takes the only table's rows from `rows` a few at a time instead of from a loaded table.
    void streamFrom(std::unique_ptr<TableRowStream> rows) { m_rows = std::move(rows); }

    Status prepare(const SqlParams& params) {
        const QByteArray sql = m_select.sql.toUtf8();
        if (sqlite3_prepare_v2(m_sandbox->handle(), sql.constData(), static_cast<int>(sql.size()),
                               &m_stmt, nullptr) != SQLITE_OK) {
            return cannotRun(m_queryName, m_sandbox->failure());
        }
        for (size_t i = 0; i < params.values.size(); ++i) {
            if (!bindParameter(m_stmt, static_cast<int>(i) + 1, params.values[i])) {
                return cannotRun(m_queryName, Failure(QueryFault::TextValueTooLarge));
            }
        }
        m_sandbox->setStepBudget(m_stepBudget);
        return Done{};
    }

    const QStringList& names() const override { return m_names; }

    Result<bool> next(std::vector<DbValue>& row) override {
        while (!m_ended) {
            const int rc = sqlite3_step(m_stmt);
            if (rc == SQLITE_ROW) {
                row.resize(m_select.columns.size());
                for (size_t i = 0; i < m_select.columns.size(); ++i) {
                    row[i] = resultValue(m_stmt, m_select.columns[i]);
                }
                return true;
            }
            if (rc != SQLITE_DONE) {
                m_ended = true;
                return cannotRun(m_queryName, m_sandbox->budgetExceeded()
                                                  ? Failure(QueryFault::WorkLimitExceeded)
                                                  : m_sandbox->failure());
            }
            Result<bool> refilled = refill();
            if (!refilled) {
                m_ended = true;
                return refilled;
            }
            m_ended = !refilled.value();
        }
        return false;
    }

    // The next rows of a streamed table, the statement ready to run over them; false when the
    // table has no more (or is not streamed).
    Result<bool> refill() {
        sqlite3_reset(m_stmt);
        if (!m_rows) {
            return false;
        }
        Result<bool> refilled = m_sandbox->refillStreamedTable(*m_rows, kStreamedRows);
        if (!refilled) {
            return cannotRun(m_queryName, refilled.takeFailure());
        }
        return refilled;
    }

    Status rewind() override {
        sqlite3_reset(m_stmt);
        m_sandbox->setStepBudget(m_stepBudget);
        m_ended = false;
        if (!m_rows) {
            return Done{};
        }
        if (Status rewound = m_rows->rewind(); !rewound) {
            return cannotRun(m_queryName, rewound.takeFailure());
        }
        Result<bool> refilled = refill();
        m_ended = refilled.ok() && !refilled.value();
        return refilled ? Status(Done{}) : refilled.takeFailure();
    }

private:
    QString m_queryName;
    std::unique_ptr<QuerySandbox> m_sandbox;
    TranslatedSelect m_select;
    uint64_t m_stepBudget;
    QStringList m_names;
    static constexpr int kStreamedRows = 256;

    std::unique_ptr<TableRowStream> m_rows;
    sqlite3_stmt* m_stmt = nullptr;
    bool m_ended = false;
};

}  // namespace

Result<std::unique_ptr<QueryCursor>> openSelectQuery(const QString& queryName,
                                                     const QueryCatalogue& catalogue,
                                                     TableSource& tables,
                                                     const QueryRunOptions& options) {
    const CatalogueObject* query = findCatalogueObject(catalogue, queryName);
    if (!query || query->kind() != DbObjectKind::Query) {
        return cannotRun(queryName, Failure(QueryFault::NoSuchQuery));
    }
    auto sandbox = std::make_unique<QuerySandbox>();
    if (Status opened = sandbox->open(); !opened) {
        return cannotRun(queryName, opened.takeFailure());
    }
    // The share of the work done, as the progress tells it: tables loaded, then none known
    // while the statement steps.
    auto share = std::make_shared<double>(0.0);
    if (options.progress) {
        sandbox->setKeepGoing([share, report = options.progress] { return report(*share); });
    }
    SandboxTables provider(*sandbox, tables);
    QueryTranslator translator(catalogue, provider);
    translator.giveValues(options.values);
    Result<TranslatedSelect> select = translator.translate(*query);
    if (!select) {
        if (const Failure* needed = valueNeeded(select.failure())) {
            return Failure(QueryFault::NeedsValue, {queryName, needed->details().front()});
        }
        return cannotRun(queryName, select.takeFailure());
    }
    // A query that reads its one table row by row takes the rows a few at a time: its first
    // rows come at once, and a record limit stops the reading early.
    const LoadedTable* only = translator.rowByRow() ? provider.onlyTable() : nullptr;
    std::unique_ptr<TableRowStream> rows =
        only ? tables.openRowStream(only->catalogueName) : nullptr;
    const Status loaded = rows ? sandbox->prepareStreamedTable(*only) : provider.loadAll(*share);
    if (!loaded) {
        return cannotRun(queryName, loaded.takeFailure());
    }
    sandbox->lockDown();
    *share = -1.0;
    if (!sandbox->keepGoing()) {
        return cannotRun(queryName, Failure(QueryFault::LoadStopped));
    }
    const uint64_t budget = options.stepBudget + options.stepsPerRowRead * provider.rowsLoaded();
    auto cursor = std::make_unique<SandboxCursor>(queryName, std::move(sandbox),
                                                  std::move(select).value(), budget);
    if (Status prepared = cursor->prepare(translator.params()); !prepared) {
        return prepared.takeFailure();
    }
    if (rows) {
        cursor->streamFrom(std::move(rows));
        Result<bool> first = cursor->refill();
        if (!first) {
            return first.takeFailure();
        }
    }
    return std::unique_ptr<QueryCursor>(std::move(cursor));
}

Result<QStringList> queryParameters(const QString& queryName, const QueryCatalogue& catalogue,
                                    TableSource& tables) {
    const CatalogueObject* query = findCatalogueObject(catalogue, queryName);
    if (!query || query->kind() != DbObjectKind::Query) {
        return cannotRun(queryName, Failure(QueryFault::NoSuchQuery));
    }
    // The translation tells a column from a name to ask for; the tables are only described.
    QuerySandbox sandbox;
    SandboxTables provider(sandbox, tables);
    QueryTranslator translator(catalogue, provider);
    translator.collectAskedNames();
    if (Result<TranslatedSelect> select = translator.translate(*query); !select) {
        return cannotRun(queryName, select.takeFailure());
    }
    return translator.askedNames();
}

Status runSelectQuery(const QString& queryName, const QueryCatalogue& catalogue,
                      TableSource& tables, QueryRowSink& sink) {
    return runSelectQuery(queryName, catalogue, tables, sink, QueryRunOptions());
}

Status runSelectQuery(const QString& queryName, const QueryCatalogue& catalogue,
                      TableSource& tables, QueryRowSink& sink, const QueryRunOptions& options) {
    Result<std::unique_ptr<QueryCursor>> cursor =
        openSelectQuery(queryName, catalogue, tables, options);
    if (!cursor) {
        return cursor.takeFailure();
    }
    sink.columns(cursor.value()->names());
    std::vector<DbValue> row;
    for (;;) {
        Result<bool> next = cursor.value()->next(row);
        if (!next) {
            return next.takeFailure();
        }
        if (!next.value() || !sink.row(row)) {
            return Done{};
        }
    }
}

}  // namespace korvane
