// Running a saved select query: load the tables it reads into a fresh sandbox, translate it,
// lock the sandbox down to reading, and stream the result with the value kinds of the source.

#include "platform/accessquery/AccessQuery.h"

#include <cmath>
#include <map>

#include "platform/accessquery/QuerySandbox.h"
#include "platform/accessquery/QueryTranslator.h"

namespace korvane {

using Kind = DbValue::Kind;

namespace {

class SandboxTables : public TableProvider {
public:
    SandboxTables(QuerySandbox& sandbox, TableSource& source)
        : m_sandbox(sandbox), m_source(source) {}

    bool table(const QString& name, const LoadedTable*& out, QString& error) override {
        auto found = m_loaded.find(name);
        if (found == m_loaded.end()) {
            LoadedTable table;
            QString loadError;
            if (!m_sandbox.loadTable(m_source, name, table, loadError)) {
                error = QStringLiteral("テーブル %1 を読めません (%2)")
                            .arg(quoteAccessName(name), loadError);
                return false;
            }
            found = m_loaded.emplace(name, std::move(table)).first;
        }
        out = &found->second;
        return true;
    }

private:
    QuerySandbox& m_sandbox;
    TableSource& m_source;
    std::map<QString, LoadedTable> m_loaded;
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

QString failure(const QString& queryName, const QString& detail) {
    return QStringLiteral("クエリー(%1)を実行できません。原因: %2").arg(queryName, detail);
}

}  // namespace

std::optional<QString> runSelectQuery(const QString& queryName, const QueryCatalogue& catalogue,
                                      TableSource& tables, QueryRowSink& sink) {
    return runSelectQuery(queryName, catalogue, tables, sink, QueryRunOptions());
}

std::optional<QString> runSelectQuery(const QString& queryName, const QueryCatalogue& catalogue,
                                      TableSource& tables, QueryRowSink& sink,
                                      const QueryRunOptions& options) {
    const CatalogueObject* query = findCatalogueObject(catalogue, queryName);
    if (!query || query->type != 5) {
        return failure(queryName, QStringLiteral("そのクエリーがありません"));
    }
    QuerySandbox sandbox;
    QString error;
    if (!sandbox.open(error)) {
        return failure(queryName, error);
    }
    SandboxTables provider(sandbox, tables);
    QueryTranslator translator(catalogue, provider);
    TranslatedSelect select;
    if (!translator.translate(*query, select, error)) {
        return failure(queryName, error);
    }
    sandbox.lockDown();
    sandbox.setStepBudget(options.stepBudget);

    sqlite3_stmt* raw = nullptr;
    const QByteArray sql = select.sql.toUtf8();
    if (sqlite3_prepare_v2(sandbox.handle(), sql.constData(), static_cast<int>(sql.size()), &raw,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return failure(
            queryName,
            QStringLiteral("SQLite: %1").arg(QString::fromUtf8(sqlite3_errmsg(sandbox.handle()))));
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, sqlite3_finalize);
    const QStringList& texts = translator.params().texts;
    for (int i = 0; i < texts.size(); ++i) {
        const QByteArray bytes = texts[i].toUtf8();
        if (sqlite3_bind_text64(raw, i + 1, bytes.constData(),
                                static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT,
                                SQLITE_UTF8) != SQLITE_OK) {
            return failure(queryName, QStringLiteral("文字列の値が大きすぎます"));
        }
    }
    QStringList names;
    for (const OutputColumn& column : select.columns) {
        names << column.name;
    }
    sink.columns(names);
    std::vector<DbValue> row(select.columns.size());
    for (;;) {
        const int rc = sqlite3_step(raw);
        if (rc == SQLITE_DONE) {
            return std::nullopt;
        }
        if (rc != SQLITE_ROW) {
            if (sandbox.budgetExceeded()) {
                return failure(queryName, QStringLiteral("処理量が上限を超えました"));
            }
            return failure(queryName, QString::fromUtf8(sqlite3_errmsg(sandbox.handle())));
        }
        for (size_t i = 0; i < select.columns.size(); ++i) {
            row[i] = resultValue(raw, select.columns[i]);
        }
        if (!sink.row(row)) {
            return std::nullopt;
        }
    }
}

}  // namespace korvane
