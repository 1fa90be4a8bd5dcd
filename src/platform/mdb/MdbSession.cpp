#include "platform/mdb/MdbSession.h"

#include <QFile>
#include <QFileInfo>

#include "platform/mdb/MdbProtocol.h"
#include "platform/mdb/MdbSessionInternal.h"
#include "platform/mdb/MdbValueDecoder.h"

namespace korvane {

using mdbsession::garbledReply;
using mdbsession::requestWithString;

namespace {

// The rows of a query result, stepped as the recordset asks for them.
class QueryRows : public RowSource {
public:
    explicit QueryRows(std::unique_ptr<QueryCursor> cursor) : m_cursor(std::move(cursor)) {}

    QStringList names() const override { return m_cursor->names(); }
    bool next(std::vector<DbValue>& row, QString* error) override {
        Result<bool> next = m_cursor->next(row);
        if (!next) {
            *error = next.failure().text();
            return false;
        }
        return next.value();
    }
    bool rewind(QString* error) override {
        const Status rewound = m_cursor->rewind();
        if (!rewound) {
            *error = rewound.failure().text();
        }
        return rewound.ok();
    }

private:
    std::unique_ptr<QueryCursor> m_cursor;
};

class SessionTables : public TableSource {
public:
    using Read = std::function<std::optional<QString>(const QString&, TableRowSink&)>;
    using Stream = std::function<std::unique_ptr<TableRowStream>(const QString&)>;
    using Columns = std::function<Result<std::vector<TableColumn>>(const QString&)>;
    SessionTables(Read read, Stream stream, Columns columns)
        : m_read(std::move(read)), m_stream(std::move(stream)), m_columns(std::move(columns)) {}
    Result<std::vector<TableColumn>> tableColumns(const QString& tableName) override {
        return m_columns(tableName);
    }
    Status readTable(const QString& tableName, TableRowSink& sink) override {
        if (std::optional<QString> failure = m_read(tableName, sink)) {
            return Failure{*failure};
        }
        return Done{};
    }
    std::unique_ptr<TableRowStream> openRowStream(const QString& tableName) override {
        return m_stream(tableName);
    }

private:
    Read m_read;
    Stream m_stream;
    Columns m_columns;
};

// A table's rows for a query that takes them a few at a time.
class TableStreamRows : public TableRowStream {
public:
    explicit TableStreamRows(std::unique_ptr<TableStream> stream) : m_stream(std::move(stream)) {}
    Result<bool> next(std::vector<DbValue>& row) override {
        QString error;
        if (m_stream->next(row, &error)) {
            return true;
        }
        if (!error.isEmpty()) {
            return Failure{error};
        }
        return false;
    }
    Status rewind() override {
        QString error;
        if (!m_stream->rewind(&error)) {
            return Failure{error};
        }
        return Done{};
    }

private:
    std::unique_ptr<TableStream> m_stream;
};

// Picks columns of a system table by name; a column the file lacks reads as Null.
class SystemTableRows : public TableRowSink {
public:
    explicit SystemTableRows(QStringList wanted) : m_wanted(std::move(wanted)) {}
    void columns(const std::vector<TableColumn>& columns) override {
        m_positions.clear();
        for (const QString& name : m_wanted) {
            int found = -1;
            for (size_t i = 0; i < columns.size(); ++i) {
                if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0) {
                    found = static_cast<int>(i);
                }
            }
            m_positions.push_back(found);
        }
    }
    bool row(const std::vector<DbValue>& values) override {
        std::vector<DbValue> picked;
        for (int position : m_positions) {
            picked.push_back(position >= 0 && static_cast<size_t>(position) < values.size()
                                 ? values[static_cast<size_t>(position)]
                                 : DbValue());
        }
        rows.push_back(std::move(picked));
        return true;
    }
    std::vector<std::vector<DbValue>> rows;

private:
    QStringList m_wanted;
    std::vector<int> m_positions;
};

int64_t integerOf(const DbValue& v) {
    return v.kind == DbValue::Kind::Integer || v.kind == DbValue::Kind::Boolean ? v.integer : 0;
}

QString textOf(const DbValue& v) {
    return v.kind == DbValue::Kind::Text ? v.text : QString();
}

}  // namespace

std::optional<QString> MdbSession::open(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists() || !file.isFile()) {
        return QStringLiteral("ファイルが見つかりません。");
    }
    if (auto failure = m_reader.start()) {
        return failure;
    }
    QString error;
    if (!m_reader.send(requestWithString(mdbproto::kOpenDatabase, QFile::encodeName(path)))) {
        error = QStringLiteral("データベースの読み取りプログラムに要求を送れません。");
    }
    const auto frame = m_reader.readFrame(&error);
    if (!frame) {
        return error;
    }
    if (frame->kind == mdbproto::kError) {
        m_reader.stop();
        return decodeErrorReply(frame->payload);
    }
    std::optional<MdbDatabaseReply> reply;
    if (frame->kind == mdbproto::kDatabase) {
        reply = decodeDatabaseReply(frame->payload);
    }
    if (!reply) {
        m_reader.stop();
        return garbledReply();
    }
    if (reply->jetVersion > 1) {
        m_reader.stop();
        return QStringLiteral(
            "Access 2007 以降の形式のデータベースです。この形式のファイルは開けません。");
    }
    m_path = path;
    m_jetVersion = reply->jetVersion;
    m_text = reply->text;
    m_entries = std::move(reply->entries);
    return std::nullopt;
}

const MdbCatalogueEntry* MdbSession::findRowSource(const QString& name) const {
    for (const MdbCatalogueEntry& entry : m_entries) {
        if (isRowSourceKind(entry.kind()) && entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

bool MdbSession::drain(QString* error) {
    while (m_batchOpen) {
        const auto frame = m_reader.readFrame(error);
        if (!frame) {
            m_batchOpen = false;
            return false;
        }
        if (frame->kind != mdbproto::kRow) {
            m_batchOpen = false;
        }
    }
    return true;
}

std::optional<QString> MdbSession::readWholeTable(const QString& name, TableRowSink& sink) {
    const MdbCatalogueEntry* entry = findRowSource(name);
    if (entry == nullptr || !isTableKind(entry->kind())) {
        return QStringLiteral("テーブル(%1)が見つかりません。").arg(name);
    }
    TableStream stream(shared_from_this(), *entry);
    QString error;
    if (!stream.open(&error)) {
        return error;
    }
    sink.columns(m_tableColumns[name] = columnsOf(stream));
    std::vector<DbValue> row;
    while (stream.next(row, &error)) {
        if (!sink.row(row)) {
            return std::nullopt;
        }
    }
    if (!error.isEmpty()) {
        return error;
    }
    return std::nullopt;
}

std::vector<TableColumn> MdbSession::columnsOf(const TableStream& stream) {
    std::vector<TableColumn> columns;
    for (const MdbColumnInfo& column : stream.columns()) {
        columns.push_back({column.name, dbKindOfMdbType(column.type)});
    }
    return columns;
}

Result<std::vector<TableColumn>> MdbSession::tableColumns(const QString& name) {
    if (const auto known = m_tableColumns.find(name); known != m_tableColumns.end()) {
        return known->second;
    }
    const MdbCatalogueEntry* entry = findRowSource(name);
    if (entry == nullptr || !isTableKind(entry->kind())) {
        return Failure{QStringLiteral("テーブル(%1)が見つかりません。").arg(name)};
    }
    TableStream stream(shared_from_this(), *entry);
    QString error;
    if (!stream.open(&error)) {
        return Failure{error};
    }
    return m_tableColumns[name] = columnsOf(stream);
}

std::optional<QString> MdbSession::loadQueryCatalogue(const QueryCatalogue** catalogue) {
    if (!m_queryCatalogue) {
        QueryCatalogue loaded;
        SystemTableRows objects({QStringLiteral("Id"), QStringLiteral("Name"),
                                 QStringLiteral("Type"), QStringLiteral("Flags")});
        if (auto failure = readWholeTable(QStringLiteral("MSysObjects"), objects)) {
            return failure;
        }
        bool anyQuery = false;
        for (const auto& row : objects.rows) {
            CatalogueObject object;
            object.id = static_cast<int32_t>(integerOf(row[0]));
            object.name = textOf(row[1]);
            object.type = static_cast<int>(integerOf(row[2]));
            object.flags = static_cast<uint32_t>(integerOf(row[3]));
            anyQuery = anyQuery || object.kind() == DbObjectKind::Query;
            loaded.objects.push_back(std::move(object));
        }
        // Only a database with queries needs their definitions; MSysQueries of a damaged file
        // is one more chance to fail.
        if (anyQuery && findRowSource(QStringLiteral("MSysQueries")) != nullptr) {
            SystemTableRows queries({QStringLiteral("ObjectId"), QStringLiteral("Attribute"),
                                     QStringLiteral("Expression"), QStringLiteral("Flag"),
                                     QStringLiteral("Name1"), QStringLiteral("Name2"),
                                     QStringLiteral("Order")});
            if (auto failure = readWholeTable(QStringLiteral("MSysQueries"), queries)) {
                return failure;
            }
            for (const auto& row : queries.rows) {
                QueryDefRow def;
                def.objectId = static_cast<int32_t>(integerOf(row[0]));
                def.attribute = static_cast<int>(integerOf(row[1]));
                def.expression = textOf(row[2]);
                if (!row[3].isNull()) {
                    def.flag = static_cast<int32_t>(integerOf(row[3]));
                }
                def.name1 = textOf(row[4]);
                def.name2 = textOf(row[5]);
                def.order = row[6].kind == DbValue::Kind::Binary ? row[6].bytes : QByteArray();
                loaded.queryRows.push_back(std::move(def));
            }
        }
        m_queryCatalogue = std::move(loaded);
    }
    *catalogue = &*m_queryCatalogue;
    return std::nullopt;
}

std::unique_ptr<RowSource> MdbSession::openTable(const MdbCatalogueEntry& table, QString* error) {
    auto stream = std::make_unique<TableStream>(shared_from_this(), table);
    if (!stream->open(error)) {
        return nullptr;
    }
    return stream;
}

std::unique_ptr<RowSource> MdbSession::openQuery(const QString& name,
                                                 const QueryRunOptions& options, QString* error) {
    const QueryCatalogue* catalogue = nullptr;
    if (auto failure = loadQueryCatalogue(&catalogue)) {
        *error = *failure;
        return nullptr;
    }
    SessionTables tables(
        [this](const QString& table, TableRowSink& sink) { return readWholeTable(table, sink); },
        [this](const QString& table) -> std::unique_ptr<TableRowStream> {
            const MdbCatalogueEntry* entry = findRowSource(table);
            if (entry == nullptr || !isTableKind(entry->kind())) {
                return nullptr;
            }
            auto stream = std::make_unique<TableStream>(shared_from_this(), *entry);
            QString openError;
            if (!stream->open(&openError)) {
                return nullptr;  // read whole instead, where the failure is reported
            }
            return std::make_unique<TableStreamRows>(std::move(stream));
        },
        [this](const QString& table) { return tableColumns(table); });
    Result<std::unique_ptr<QueryCursor>> cursor =
        openSelectQuery(name, *catalogue, tables, options);
    if (!cursor) {
        *error = cursor.failure().text();
        return nullptr;
    }
    return std::make_unique<QueryRows>(std::move(cursor).value());
}

Result<QStringList> MdbSession::queryParameters(const QString& name) {
    const QueryCatalogue* catalogue = nullptr;
    if (auto failure = loadQueryCatalogue(&catalogue)) {
        return Failure{*failure};
    }
    // Only the tables' headers are read, never their rows.
    SessionTables tables(
        [this](const QString& table, TableRowSink& sink) { return readWholeTable(table, sink); },
        [](const QString&) -> std::unique_ptr<TableRowStream> { return nullptr; },
        [this](const QString& table) { return tableColumns(table); });
    return korvane::queryParameters(name, *catalogue, tables);
}

Result<QString> MdbSession::querySql(const QString& name) {
    const QueryCatalogue* catalogue = nullptr;
    if (auto failure = loadQueryCatalogue(&catalogue)) {
        return Failure{*failure};
    }
    for (const CatalogueObject& object : catalogue->objects) {
        if (object.name == name && object.kind() == DbObjectKind::Query) {
            Result<QString> rebuilt = rebuildAccessSql(object.id, catalogue->queryRows);
            if (!rebuilt) {
                return Failure{QStringLiteral("クエリー(%1)のSQLを組み立てられません。原因: %2")
                                   .arg(name, rebuilt.failure().text())};
            }
            return rebuilt;
        }
    }
    return Failure{QStringLiteral("テーブルまたはクエリー(%1)が見つかりません。").arg(name)};
}

}  // namespace korvane
