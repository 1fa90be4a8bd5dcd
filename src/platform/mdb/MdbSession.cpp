#include "platform/mdb/MdbSession.h"

#include <QFile>
#include <QFileInfo>

#include "platform/mdb/MdbProtocol.h"
#include "platform/mdb/MdbValueDecoder.h"

namespace korvane {

namespace {

constexpr int kObjectQueryType = 5;
constexpr uint32_t kLargestBatch = 4096;

QByteArray requestWithString(char opcode, const QByteArray& text) {
    std::string out(1, opcode);
    mdbproto::putString(out, text.constData(), static_cast<size_t>(text.size()));
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

// The most rows a table may give before it counts as damaged. Access does not always keep the
// declared count up to date (MSysQueries of an edited database declares 82 rows and holds 90),
// so the count is a guide: only a table that gives far more is stopped.
uint64_t rowLimit(uint64_t declaredRows) {
    return declaredRows * 2 + 1000;
}

QString garbledReply() {
    return QStringLiteral("データベースの読み取りプログラムから不正な応答がありました。");
}

// The rows of a query result, held whole.
class ResultRows : public RowSource {
public:
    QStringList columnNames;
    std::vector<std::vector<DbValue>> rows;

    QStringList names() const override { return columnNames; }
    bool next(std::vector<DbValue>& row, QString*) override {
        if (m_next >= rows.size()) {
            return false;
        }
        row = rows[m_next++];
        return true;
    }
    bool rewind(QString*) override {
        m_next = 0;
        return true;
    }
    std::optional<uint64_t> expectedRows() const override { return rows.size(); }

private:
    size_t m_next = 0;
};

class ResultCollector : public QueryRowSink {
public:
    explicit ResultCollector(ResultRows& target) : m_target(target) {}
    void columns(const QStringList& names) override { m_target.columnNames = names; }
    bool row(const std::vector<DbValue>& values) override {
        m_target.rows.push_back(values);
        return true;
    }

private:
    ResultRows& m_target;
};

class SessionTables : public TableSource {
public:
    explicit SessionTables(
        std::function<std::optional<QString>(const QString&, TableRowSink&)> read)
        : m_read(std::move(read)) {}
    std::optional<QString> readTable(const QString& tableName, TableRowSink& sink) override {
        return m_read(tableName, sink);
    }

private:
    std::function<std::optional<QString>(const QString&, TableRowSink&)> m_read;
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

std::optional<QString> MdbSession::open(const QString& path, bool jet4Allowed) {
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
    if (reply->jetVersion == 1 && !jet4Allowed) {
        m_reader.stop();
        return QStringLiteral(
            "Jet 4 形式のデータベースは Microsoft.Jet.OLEDB.3.51 では開けません。");
    }
    m_jetVersion = reply->jetVersion;
    m_entries = std::move(reply->entries);
    return std::nullopt;
}

const MdbCatalogueEntry* MdbSession::findEntry(const QString& name) const {
    for (const MdbCatalogueEntry& entry : m_entries) {
        if (entry.name == name) {
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
    const MdbCatalogueEntry* entry = findEntry(name);
    if (entry == nullptr || entry->type != 1) {
        return QStringLiteral("テーブル(%1)が見つかりません。").arg(name);
    }
    TableStream stream(shared_from_this(), name);
    QString error;
    if (!stream.open(&error)) {
        return error;
    }
    std::vector<TableColumn> columns;
    for (const MdbColumnInfo& column : stream.columns()) {
        columns.push_back({column.name, dbKindOfMdbType(column.type)});
    }
    sink.columns(columns);
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
            object.type = static_cast<int>(integerOf(row[2]) & 0x7F);
            object.flags = static_cast<uint32_t>(integerOf(row[3]));
            anyQuery = anyQuery || object.type == kObjectQueryType;
            loaded.objects.push_back(std::move(object));
        }
        // Only a database with queries needs their definitions; MSysQueries of a damaged file
        // is one more chance to fail.
        if (anyQuery && findEntry(QStringLiteral("MSysQueries")) != nullptr) {
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

std::unique_ptr<RowSource> MdbSession::openTable(const QString& name, QString* error) {
    auto stream = std::make_unique<TableStream>(shared_from_this(), name);
    if (!stream->open(error)) {
        return nullptr;
    }
    return stream;
}

std::unique_ptr<RowSource> MdbSession::openQuery(const QString& name, QString* error) {
    const QueryCatalogue* catalogue = nullptr;
    if (auto failure = loadQueryCatalogue(&catalogue)) {
        *error = *failure;
        return nullptr;
    }
    SessionTables tables(
        [this](const QString& table, TableRowSink& sink) { return readWholeTable(table, sink); });
    auto result = std::make_unique<ResultRows>();
    ResultCollector collector(*result);
    if (auto failure = runSelectQuery(name, *catalogue, tables, collector)) {
        *error = *failure;
        return nullptr;
    }
    return result;
}

TableStream::TableStream(std::shared_ptr<MdbSession> session, const QString& name)
    : m_session(std::move(session)), m_name(name) {}

QStringList TableStream::names() const {
    QStringList out;
    for (const MdbColumnInfo& column : m_header.columns) {
        out << column.name;
    }
    return out;
}

bool TableStream::failWith(const QString& description, QString* error) {
    m_ended = true;
    if (error != nullptr) {
        *error = description;
    }
    return false;
}

bool TableStream::open(QString* error) {
    MdbSession& session = *m_session;
    if (!session.drain(error)) {
        return false;
    }
    m_generation = ++session.m_generation;
    m_rowsRead = 0;
    m_ended = false;
    if (!session.m_reader.send(requestWithString(mdbproto::kOpenTable, m_name.toUtf8()))) {
        // The read below reports why the helper is gone.
    }
    const auto frame = session.m_reader.readFrame(error);
    if (!frame) {
        return failWith(*error, error);
    }
    if (frame->kind == mdbproto::kError) {
        return failWith(QStringLiteral("テーブル(%1)を開けません。%2")
                            .arg(m_name, decodeErrorReply(frame->payload)),
                        error);
    }
    std::optional<MdbTableHeader> header;
    if (frame->kind == mdbproto::kTableHeader) {
        header = decodeTableHeader(frame->payload);
    }
    if (!header) {
        session.m_reader.stop();
        return failWith(garbledReply(), error);
    }
    m_header = std::move(*header);
    return true;
}

bool TableStream::request(QString* error) {
    MdbSession& session = *m_session;
    std::string out(1, mdbproto::kNextRows);
    mdbproto::putU32(out, m_batchSize);
    session.m_reader.send(QByteArray(out.data(), static_cast<qsizetype>(out.size())));
    session.m_batchOpen = true;
    // Small batches first, so the first rows show quickly; larger ones once rows flow.
    m_batchSize = std::min(kLargestBatch, m_batchSize * 2);
    (void)error;
    return true;
}

bool TableStream::next(std::vector<DbValue>& row, QString* error) {
    if (m_ended) {
        return false;
    }
    MdbSession& session = *m_session;
    if (session.m_generation != m_generation) {
        return failWith(QStringLiteral("テーブル(%1)の読み取りは中断されました。").arg(m_name),
                        error);
    }
    for (;;) {
        if (!session.m_batchOpen && !request(error)) {
            return false;
        }
        QString failure;
        const auto frame = session.m_reader.readFrame(&failure);
        if (!frame) {
            session.m_batchOpen = false;
            return failWith(failure, error);
        }
        switch (frame->kind) {
            case mdbproto::kRow:
                if (!decodeRowReply(frame->payload, m_header.columns, row)) {
                    session.m_reader.stop();
                    session.m_batchOpen = false;
                    return failWith(garbledReply(), error);
                }
                if (++m_rowsRead > rowLimit(m_header.declaredRows)) {
                    // A damaged page chain can hand out the same rows again and again.
                    session.m_reader.stop();
                    session.m_batchOpen = false;
                    return failWith(
                        QStringLiteral(
                            "テーブル(%1)から定義された行数(%2)をはるかに超える行が読み取"
                            "られました。ファイルが壊れている可能性があります。")
                            .arg(m_name)
                            .arg(m_header.declaredRows),
                        error);
                }
                return true;
            case mdbproto::kBatchEnd:
                session.m_batchOpen = false;
                continue;
            case mdbproto::kTableEnd:
                session.m_batchOpen = false;
                m_ended = true;
                return false;
            case mdbproto::kError:
                session.m_batchOpen = false;
                return failWith(QStringLiteral("テーブル(%1)を読み取れません。%2")
                                    .arg(m_name, decodeErrorReply(frame->payload)),
                                error);
            default:
                session.m_reader.stop();
                session.m_batchOpen = false;
                return failWith(garbledReply(), error);
        }
    }
}

bool TableStream::rewind(QString* error) {
    return open(error);
}

}  // namespace korvane
