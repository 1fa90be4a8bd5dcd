#include "platform/accessquery/QuerySandbox.h"

#include <cstring>

#include "platform/accessquery/AccessExpr.h"
#include "platform/accessquery/SqlFunctions.h"

namespace korvane {

using Kind = DbValue::Kind;

namespace {

constexpr int kProgressInterval = 1000;

// After lockDown(): reading our own tables and calling our functions, nothing else.
int authorize(void*, int action, const char* arg1, const char* arg2, const char* database,
              const char*) {
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

bool exec(sqlite3* db, const QString& sql, QString& error) {
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    return true;
}

bool needsExactColumn(Kind kind) {
    return kind == Kind::Currency || kind == Kind::Decimal || kind == Kind::Null;
}

// Receives the table's rows from the reader and inserts them.
class TableLoader : public TableRowSink {
public:
    TableLoader(sqlite3* db, QString sqlName) : m_db(db), m_sqlName(std::move(sqlName)) {}
    ~TableLoader() override { sqlite3_finalize(m_insert); }

    void columns(const std::vector<TableColumn>& columns) override {
        if (m_created || !m_error.isEmpty()) {
            fail(QStringLiteral("列の一覧が二度届きました"));
            return;
        }
        m_created = true;
        if (columns.empty() || columns.size() > static_cast<size_t>(QueryLimits::kMaxColumns / 2)) {
            fail(QStringLiteral("列の数 %1").arg(columns.size()));
            return;
        }
        QStringList defs;
        int parameter = 0;
        for (size_t i = 0; i < columns.size(); ++i) {
            LoadedColumn column;
            column.name = columns[i].name;
            column.kind = columns[i].kind;
            column.sqlName = QStringLiteral("c%1").arg(i + 1);
            QString def = column.sqlName;
            if (column.kind == Kind::Text || column.kind == Kind::Null ||
                column.kind == Kind::Guid) {
                def += QStringLiteral(" COLLATE ") + QLatin1String(kTextCollation);
            }
            defs << def;
            m_parameters.push_back(++parameter);
            if (needsExactColumn(column.kind)) {
                column.exactSqlName = column.sqlName + QLatin1Char('x');
                defs << column.exactSqlName;
                ++parameter;
            }
            m_table.columns.push_back(column);
            m_firstKinds.push_back(Kind::Null);
        }
        m_table.sqlName = m_sqlName;
        QString error;
        if (!exec(m_db, QStringLiteral("CREATE TABLE %1 (%2)").arg(m_sqlName, defs.join(", ")),
                  error)) {
            fail(error);
            return;
        }
        QStringList marks;
        for (int i = 1; i <= parameter; ++i) {
            marks << QStringLiteral("?%1").arg(i);
        }
        const QByteArray sql =
            QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(m_sqlName, marks.join(", ")).toUtf8();
        if (sqlite3_prepare_v2(m_db, sql.constData(), static_cast<int>(sql.size()), &m_insert,
                               nullptr) != SQLITE_OK) {
            fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
        }
    }

    bool row(const std::vector<DbValue>& values) override {
        if (!m_error.isEmpty()) {
            return false;
        }
        if (!m_insert) {
            fail(QStringLiteral("列の一覧より先に行が届きました"));
            return false;
        }
        if (values.size() != m_table.columns.size()) {
            fail(QStringLiteral("行の値の数 %1 (列は %2)")
                     .arg(values.size())
                     .arg(m_table.columns.size()));
            return false;
        }
        sqlite3_reset(m_insert);
        sqlite3_clear_bindings(m_insert);
        for (size_t i = 0; i < values.size(); ++i) {
            if (m_firstKinds[i] == Kind::Null) {
                m_firstKinds[i] = values[i].kind;
            }
            if (!bindValue(values[i], m_parameters[i],
                           !m_table.columns[i].exactSqlName.isEmpty())) {
                return false;
            }
        }
        if (sqlite3_step(m_insert) != SQLITE_DONE) {
            fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
            return false;
        }
        return true;
    }

    bool finish(LoadedTable& out, QString& error) {
        if (m_error.isEmpty() && !m_created) {
            m_error = QStringLiteral("列の一覧が届きませんでした");
        }
        if (!m_error.isEmpty()) {
            error = m_error;
            return false;
        }
        // A column the reader declared without a kind takes the kind of its first value.
        for (size_t i = 0; i < m_table.columns.size(); ++i) {
            LoadedColumn& column = m_table.columns[i];
            if (column.kind == Kind::Null) {
                column.kind = m_firstKinds[i];
            }
            if (column.kind != Kind::Currency && column.kind != Kind::Decimal) {
                column.exactSqlName.clear();
            }
        }
        out = m_table;
        return true;
    }

private:
    void fail(const QString& message) {
        if (m_error.isEmpty()) {
            m_error = message;
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
            fail(rc == SQLITE_TOOBIG ? QStringLiteral("値が大きすぎます")
                                     : QString::fromUtf8(sqlite3_errmsg(m_db)));
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
    QString m_sqlName;
    sqlite3_stmt* m_insert = nullptr;
    LoadedTable m_table;
    std::vector<int> m_parameters;
    std::vector<Kind> m_firstKinds;
    bool m_created = false;
    QString m_error;
};

}  // namespace

QuerySandbox::~QuerySandbox() {
    sqlite3_close_v2(m_db);
}

bool QuerySandbox::open(QString& error) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY |
                      SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE;
    if (sqlite3_open_v2(":memory:", &m_db, flags, nullptr) != SQLITE_OK) {
        error = QStringLiteral("SQLite を開けません: %1")
                    .arg(m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString());
        return false;
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
    if (!registerAccessFunctions(m_db, error)) {
        return false;
    }
    return exec(m_db, QStringLiteral("PRAGMA temp_store = MEMORY"), error);
}

bool QuerySandbox::loadTable(TableSource& source, const QString& tableName, LoadedTable& out,
                             QString& error) {
    const QString sqlName = QStringLiteral("t%1").arg(++m_tableCount);
    if (!exec(m_db, QStringLiteral("BEGIN"), error)) {
        return false;
    }
    TableLoader loader(m_db, sqlName);
    const std::optional<QString> readError = source.readTable(tableName, loader);
    QString loadError;
    const bool loaded = loader.finish(out, loadError);
    QString ignored;
    if (readError || !loaded) {
        exec(m_db, QStringLiteral("ROLLBACK"), ignored);
        error = readError ? *readError : loadError;
        return false;
    }
    return exec(m_db, QStringLiteral("COMMIT"), error);
}

void QuerySandbox::lockDown() {
    sqlite3_set_authorizer(m_db, authorize, nullptr);
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
    return 0;
}

}  // namespace korvane
