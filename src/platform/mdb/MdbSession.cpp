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
    Result<bool> next(std::vector<DbValue>& row) override { return m_cursor->next(row); }
    Status rewind() override { return m_cursor->rewind(); }

private:
    std::unique_ptr<QueryCursor> m_cursor;
};

// The session's tables as a query reads them: whole, a few rows at a time, or their columns.
class SessionTables : public TableSource {
public:
    using Read = std::function<Status(const QString&, TableRowSink&)>;
    using Stream = std::function<std::unique_ptr<TableRowStream>(const QString&)>;
    using Columns = std::function<Result<std::vector<TableColumn>>(const QString&)>;
    SessionTables(Read read, Stream stream, Columns columns)
        : m_read(std::move(read)), m_stream(std::move(stream)), m_columns(std::move(columns)) {}
    Result<std::vector<TableColumn>> tableColumns(const QString& tableName) override {
        return m_columns(tableName);
    }
    Status readTable(const QString& tableName, TableRowSink& sink) override {
        return m_read(tableName, sink);
    }
    std::unique_ptr<TableRowStream> openRowStream(const QString& tableName) override {
        return m_stream(tableName);
    }

private:
    Read m_read;
    Stream m_stream;
    Columns m_columns;
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

Status MdbSession::open(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists() || !file.isFile()) {
        return Failure{MdbFault::FileNotFound};
    }
    if (Status started = m_reader.start(); !started) {
        return started;
    }
    // When the request cannot be sent, the helper is gone and the read says why.
    m_reader.send(requestWithString(mdbproto::kOpenDatabase, QFile::encodeName(path)));
    const auto frame = m_reader.readFrame();
    if (!frame) {
        return frame.takeFailure();
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
        return Failure{MdbFault::LaterAccessFormat};
    }
    m_path = path;
    m_jetVersion = reply->jetVersion;
    m_text = reply->text;
    m_entries = std::move(reply->entries);
    return Done{};
}

const MdbCatalogueEntry* MdbSession::findRowSource(const QString& name) const {
    for (const MdbCatalogueEntry& entry : m_entries) {
        if (isRowSourceKind(entry.kind()) && entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

Status MdbSession::drain() {
    while (m_batchOpen) {
        const auto frame = m_reader.readFrame();
        if (!frame) {
            m_batchOpen = false;
            return frame.takeFailure();
        }
        if (frame->kind != mdbproto::kRow) {
            m_batchOpen = false;
        }
    }
    return Done{};
}

Status MdbSession::readWholeTable(const QString& name, TableRowSink& sink) {
    const MdbCatalogueEntry* entry = findRowSource(name);
    if (entry == nullptr || !isTableKind(entry->kind())) {
        return Failure{MdbFault::TableNotFound, {name}};
    }
    TableStream stream(shared_from_this(), *entry);
    if (Status opened = stream.open(); !opened) {
        return opened;
    }
    sink.columns(m_tableColumns[name] = columnsOf(stream));
    std::vector<DbValue> row;
    for (;;) {
        Result<bool> next = stream.next(row);
        if (!next) {
            return next.takeFailure();
        }
        if (!next.value() || !sink.row(row)) {
            return Done{};
        }
    }
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
        return Failure{MdbFault::TableNotFound, {name}};
    }
    TableStream stream(shared_from_this(), *entry);
    if (Status opened = stream.open(); !opened) {
        return opened.takeFailure();
    }
    return m_tableColumns[name] = columnsOf(stream);
}

Result<const QueryCatalogue*> MdbSession::loadQueryCatalogue() {
    if (!m_queryCatalogue) {
        QueryCatalogue loaded;
        SystemTableRows objects({QStringLiteral("Id"), QStringLiteral("Name"),
                                 QStringLiteral("Type"), QStringLiteral("Flags")});
        if (Status read = readWholeTable(QStringLiteral("MSysObjects"), objects); !read) {
            return read.takeFailure();
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
            if (Status read = readWholeTable(QStringLiteral("MSysQueries"), queries); !read) {
                return read.takeFailure();
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
    return &*m_queryCatalogue;
}

Result<std::unique_ptr<RowSource>> MdbSession::openTable(const MdbCatalogueEntry& table) {
    auto stream = std::make_unique<TableStream>(shared_from_this(), table);
    if (Status opened = stream->open(); !opened) {
        return opened.takeFailure();
    }
    return std::unique_ptr<RowSource>(std::move(stream));
}

Result<std::unique_ptr<RowSource>> MdbSession::openQuery(const QString& name,
                                                         const QueryRunOptions& options) {
    const Result<const QueryCatalogue*> catalogue = loadQueryCatalogue();
    if (!catalogue) {
        return catalogue.takeFailure();
    }
    SessionTables tables(
        [this](const QString& table, TableRowSink& sink) { return readWholeTable(table, sink); },
        [this](const QString& table) -> std::unique_ptr<TableRowStream> {
            const MdbCatalogueEntry* entry = findRowSource(table);
            if (entry == nullptr || !isTableKind(entry->kind())) {
                return nullptr;
            }
            auto stream = std::make_unique<TableStream>(shared_from_this(), *entry);
            if (!stream->open()) {
                return nullptr;  // read whole instead, where the failure is reported
            }
            return stream;
        },
        [this](const QString& table) { return tableColumns(table); });
    Result<std::unique_ptr<QueryCursor>> cursor =
        openSelectQuery(name, *catalogue.value(), tables, options);
    if (!cursor) {
        return cursor.takeFailure();
    }
    return std::unique_ptr<RowSource>(std::make_unique<QueryRows>(std::move(cursor).value()));
}

Result<QStringList> MdbSession::queryParameters(const QString& name) {
    const Result<const QueryCatalogue*> catalogue = loadQueryCatalogue();
    if (!catalogue) {
        return catalogue.takeFailure();
    }
    // Only the tables' headers are read, never their rows.
    SessionTables tables(
        [this](const QString& table, TableRowSink& sink) { return readWholeTable(table, sink); },
        [](const QString&) -> std::unique_ptr<TableRowStream> { return nullptr; },
        [this](const QString& table) { return tableColumns(table); });
    return korvane::queryParameters(name, *catalogue.value(), tables);
}

Result<QString> MdbSession::querySql(const QString& name) {
    const Result<const QueryCatalogue*> catalogue = loadQueryCatalogue();
    if (!catalogue) {
        return catalogue.takeFailure();
    }
    for (const CatalogueObject& object : catalogue.value()->objects) {
        if (object.name == name && object.kind() == DbObjectKind::Query) {
            Result<QString> rebuilt = rebuildAccessSql(object.id, catalogue.value()->queryRows);
            if (!rebuilt) {
                return Failure(MdbFault::CannotBuildQuerySql, {name}, rebuilt.takeFailure());
            }
            return rebuilt;
        }
    }
    return Failure{MdbFault::NoTableOrQuery, {name}};
}

}  // namespace korvane
