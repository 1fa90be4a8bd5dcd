#pragma once
// The data-access component: the few ADO-style objects the database side uses (connection,
// schema rowset, recordset, fields), over Access files read by the helper process
// korvane-mdb-reader. Failures are values: an operation returns false (or null), failure() holds
// why and errorDescription() says it in words for the user. Rows of a table are streamed one by
// one.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "platform/DbValue.h"
#include "platform/accessquery/AccessQuery.h"

namespace korvane {

class MdbSession;
class RowSource;

// The schema kind of the table schema (adSchemaTables).
constexpr int kSchemaTables = 20;

// The two parts of a connection string that matter. "Data Source=" runs to the end of the
// string, so a path may hold ";".
struct ConnectionStringParts {
    QString provider;
    QString dataSource;
};
ConnectionStringParts parseConnectionString(const QString& connectionString);

// While one lives, every Connection that opens the same file shares one reader session: one
// open of a database in the window (its catalogue, its dialog, its rows) starts the reader once
// and reads the system tables once. Keepers inside a keeper share the outer one's session.
class SharedDatabaseSession {
public:
    SharedDatabaseSession();
    ~SharedDatabaseSession();
    SharedDatabaseSession(const SharedDatabaseSession&) = delete;
    SharedDatabaseSession& operator=(const SharedDatabaseSession&) = delete;

private:
    friend class Connection;
    static SharedDatabaseSession* s_current;
    SharedDatabaseSession* m_outer = nullptr;
    std::shared_ptr<MdbSession> m_session;
};

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString ConnectionString;

    // Opens the database named by `connectionString`, or by ConnectionString when it is empty.
    // "Microsoft.Jet.OLEDB.3.51" opens Jet 3 files only, "Microsoft.Jet.OLEDB.4.0" Jet 3 and
    // Jet 4 files.
    bool Open(const QString& connectionString = QString(), const QString& userId = QString(),
              const QString& password = QString(), int options = -1);
    // The table schema (kSchemaTables): fields TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME,
    // TABLE_TYPE. Null (with errorDescription()) on failure.
    std::unique_ptr<class Recordset> OpenSchema(int schema);
    void Close();

    bool isOpen() const;
    // Why the last Open or OpenSchema failed; null when it did not.
    const Failure* failure() const { return m_failure ? &*m_failure : nullptr; }
    QString errorDescription() const;
    // The values the saved select query `source` asks for before it runs (none for a table or
    // a query that asks for nothing), named as the query writes them; see queryParameters.
    Result<QStringList> QueryParameters(const QString& source);
    // The Access SQL of the saved query `source` as Access shows it in SQL view.
    Result<QString> QuerySql(const QString& source);
    // 0 Jet 3, 1 Jet 4, while open.
    int jetVersion() const;

private:
    friend class Recordset;
    bool fail(Failure failure);

    std::shared_ptr<MdbSession> m_session;
    std::optional<Failure> m_failure;
};

class Field {
public:
    const QString& Name() const { return m_name; }
    // The value of the current row; Null when the row has none (or there is no current row).
    const DbValue& Value() const { return m_value; }

private:
    friend class Recordset;
    QString m_name;
    DbValue m_value;
};

class Fields {
public:
    int Count() const { return static_cast<int>(m_fields.size()); }
    // By 0-based position; null when out of range.
    const Field* Item(int index) const;
    // By name (letter case ignored, as the engine does); null when there is no such field.
    const Field* Item(const QString& name) const;

private:
    friend class Recordset;
    std::vector<Field> m_fields;
};

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Opens the rows of a table, or the result of a saved select query, named by `source`.
    // Cursor type, lock type and options are accepted for the callers' sake; reading is always
    // forward and read-only.
    bool Open(const QString& source, Connection& activeConnection, int cursorType = 2,
              int lockType = -1, int options = -1);

    // EOF: no current row (at once for an empty result, and after a failure).
    bool Eof() const { return m_eof; }
    bool MoveFirst();
    // False when reading the next row failed; Eof() is then true.
    bool MoveNext();
    const class Fields& fields() const { return m_fields; }
    void Close();

    bool isOpen() const { return m_source != nullptr; }
    // Why the last Open or move failed; null when it did not.
    const Failure* failure() const { return m_failure ? &*m_failure : nullptr; }
    QString errorDescription() const;
    // How a saved query opened by the next Open runs (its bounds, and what it is told).
    QueryRunOptions queryOptions;
    // How many rows the source expects to give, when it knows (for progress only).
    std::optional<uint64_t> expectedRows() const;

private:
    friend class Connection;
    bool start(std::unique_ptr<RowSource> source);
    bool fetch();

    std::unique_ptr<RowSource> m_source;
    class Fields m_fields;
    std::vector<DbValue> m_row;
    bool m_eof = true;
    bool m_atFirst = true;
    std::optional<Failure> m_failure;
};

}  // namespace korvane
