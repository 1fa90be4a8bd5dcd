#include "platform/mdb/DataAccess.h"

#include "platform/mdb/MdbSession.h"
#include "platform/mdb/MdbTexts.h"
#include "platform/mdb/TableSchema.h"

namespace korvane {

namespace {

const QString kJet351 = QStringLiteral("Microsoft.Jet.OLEDB.3.51");
const QString kJet40 = QStringLiteral("Microsoft.Jet.OLEDB.4.0");

// The rows of the table schema.
class SchemaRows : public RowSource {
public:
    explicit SchemaRows(std::vector<TableSchemaRow> rows) : m_rows(std::move(rows)) {}
    QStringList names() const override {
        return {QStringLiteral("TABLE_CATALOG"), QStringLiteral("TABLE_SCHEMA"),
                QStringLiteral("TABLE_NAME"), QStringLiteral("TABLE_TYPE")};
    }
    Result<bool> next(std::vector<DbValue>& row) override {
        if (m_next >= m_rows.size()) {
            return false;
        }
        const TableSchemaRow& source = m_rows[m_next++];
        row.assign(4, DbValue());
        row[2].kind = DbValue::Kind::Text;
        row[2].text = source.name;
        row[3].kind = DbValue::Kind::Text;
        row[3].text = source.type;
        return true;
    }
    Status rewind() override {
        m_next = 0;
        return Done{};
    }
    std::optional<uint64_t> expectedRows() const override { return m_rows.size(); }

private:
    std::vector<TableSchemaRow> m_rows;
    size_t m_next = 0;
};

}  // namespace

ConnectionStringParts parseConnectionString(const QString& connectionString) {
    ConnectionStringParts parts;
    const QString dataSourceKey = QStringLiteral("data source");
    qsizetype pos = 0;
    while (pos <= connectionString.size()) {
        qsizetype end = connectionString.indexOf(QLatin1Char(';'), pos);
        if (end < 0) {
            end = connectionString.size();
        }
        const QString item = connectionString.mid(pos, end - pos);
        const qsizetype equals = item.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            const QString key = item.left(equals).trimmed();
            if (key.compare(dataSourceKey, Qt::CaseInsensitive) == 0) {
                // The path runs to the end of the string: it may hold ";".
                parts.dataSource = connectionString.mid(pos + equals + 1);
                return parts;
            }
            if (key.compare(QStringLiteral("provider"), Qt::CaseInsensitive) == 0) {
                parts.provider = item.mid(equals + 1).trimmed();
            }
        }
        pos = end + 1;
    }
    return parts;
}

SharedDatabaseSession* SharedDatabaseSession::s_current = nullptr;

SharedDatabaseSession::SharedDatabaseSession() : m_outer(s_current) {
    if (!m_outer) {
        s_current = this;
    }
}

SharedDatabaseSession::~SharedDatabaseSession() {
    if (s_current == this) {
        s_current = nullptr;
    }
}

Connection::Connection() = default;

Connection::~Connection() {
    Close();
}

bool Connection::fail(Failure failure) {
    m_failure = std::move(failure);
    return false;
}

QString Connection::errorDescription() const {
    return m_failure ? m_failure->text() : QString();
}

bool Connection::Open(const QString& connectionString, const QString&, const QString&, int) {
    Close();
    m_failure.reset();
    const ConnectionStringParts parts =
        parseConnectionString(connectionString.isEmpty() ? ConnectionString : connectionString);
    bool jet4Allowed = false;
    if (parts.provider.compare(kJet40, Qt::CaseInsensitive) == 0) {
        jet4Allowed = true;
    } else if (parts.provider.compare(kJet351, Qt::CaseInsensitive) != 0) {
        return fail(Failure{MdbFault::ProviderNotFound, {parts.provider}});
    }
    if (parts.dataSource.isEmpty()) {
        return fail(Failure{MdbFault::NoFileInConnectionString});
    }
    SharedDatabaseSession* shared = SharedDatabaseSession::s_current;
    std::shared_ptr<MdbSession> session =
        shared && shared->m_session && shared->m_session->path() == parts.dataSource
            ? shared->m_session
            : nullptr;
    if (!session) {
        session = std::make_shared<MdbSession>();
        if (Status opened = session->open(parts.dataSource); !opened) {
            return fail(opened.takeFailure());
        }
        if (shared) {
            shared->m_session = session;
        }
    }
    // The file stays open in a shared session, so the Jet 4.0 provider tried next needs no
    // second start of the reader.
    if (session->jetVersion() == 1 && !jet4Allowed) {
        return fail(Failure{MdbFault::Jet4NeedsJet40});
    }
    m_session = std::move(session);
    return true;
}

std::unique_ptr<Recordset> Connection::OpenSchema(int schema) {
    m_failure.reset();
    if (!m_session) {
        fail(Failure{MdbFault::DatabaseNotOpen});
        return nullptr;
    }
    if (schema != kSchemaTables) {
        fail(Failure{MdbFault::UnknownSchema, {QString::number(schema)}});
        return nullptr;
    }
    const Result<const QueryCatalogue*> catalogue = m_session->loadQueryCatalogue();
    if (!catalogue) {
        fail(catalogue.takeFailure());
        return nullptr;
    }
    auto recordset = std::make_unique<Recordset>();
    recordset->start(std::make_unique<SchemaRows>(tableSchemaRows(*catalogue.value())));
    return recordset;
}

void Connection::Close() {
    m_session.reset();
}

bool Connection::isOpen() const {
    return m_session != nullptr;
}

Result<QStringList> Connection::QueryParameters(const QString& source) {
    if (!m_session) {
        return Failure{MdbFault::DatabaseNotOpen};
    }
    const MdbCatalogueEntry* entry = m_session->findRowSource(source);
    if (entry == nullptr || entry->kind() != DbObjectKind::Query) {
        return QStringList();  // Open reports what it is
    }
    return m_session->queryParameters(entry->name);
}

Result<QString> Connection::QuerySql(const QString& source) {
    const MdbCatalogueEntry* entry = m_session ? m_session->findRowSource(source) : nullptr;
    if (entry == nullptr || entry->kind() != DbObjectKind::Query) {
        return Failure{MdbFault::NoTableOrQuery, {source}};
    }
    return m_session->querySql(entry->name);
}

int Connection::jetVersion() const {
    return m_session ? m_session->jetVersion() : -1;
}

const Field* Fields::Item(int index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return &m_fields[static_cast<size_t>(index)];
}

const Field* Fields::Item(const QString& name) const {
    for (const Field& field : m_fields) {
        if (field.Name().compare(name, Qt::CaseInsensitive) == 0) {
            return &field;
        }
    }
    return nullptr;
}

Recordset::Recordset() = default;

Recordset::~Recordset() = default;

QString Recordset::errorDescription() const {
    return m_failure ? m_failure->text() : QString();
}

bool Recordset::Open(const QString& source, Connection& activeConnection, int, int, int) {
    Close();
    m_failure.reset();
    if (!activeConnection.m_session) {
        m_failure = Failure{MdbFault::DatabaseNotOpen};
        return false;
    }
    MdbSession& session = *activeConnection.m_session;
    const MdbCatalogueEntry* entry = session.findRowSource(source);
    auto open = [&]() -> Result<std::unique_ptr<RowSource>> {
        if (entry == nullptr) {
            return Failure{MdbFault::NoTableOrQuery, {source}};
        }
        if (isTableKind(entry->kind())) {
            return session.openTable(*entry);
        }
        if (entry->kind() == DbObjectKind::Query) {
            return session.openQuery(entry->name, queryOptions);
        }
        return Failure{MdbFault::LinkedTableUnreadable, {source}};
    };
    Result<std::unique_ptr<RowSource>> rows = open();
    if (!rows) {
        m_failure = rows.takeFailure();
        return false;
    }
    return start(std::move(rows).value());
}

bool Recordset::start(std::unique_ptr<RowSource> source) {
    m_source = std::move(source);
    m_fields.m_fields.clear();
    for (const QString& name : m_source->names()) {
        Field field;
        field.m_name = name;
        m_fields.m_fields.push_back(std::move(field));
    }
    m_atFirst = true;
    if (!fetch() && m_failure) {
        Close();
        return false;
    }
    return true;
}

bool Recordset::fetch() {
    Result<bool> next = m_source ? m_source->next(m_row) : Result<bool>(false);
    if (!next || !next.value()) {
        m_eof = true;
        m_failure = next ? std::nullopt : std::optional<Failure>(next.takeFailure());
        for (Field& field : m_fields.m_fields) {
            field.m_value = DbValue();
        }
        return false;
    }
    m_eof = false;
    for (size_t i = 0; i < m_fields.m_fields.size(); ++i) {
        m_fields.m_fields[i].m_value = i < m_row.size() ? std::move(m_row[i]) : DbValue();
    }
    return true;
}

bool Recordset::MoveFirst() {
    if (!m_source) {
        return false;
    }
    if (m_atFirst) {
        return !m_eof;
    }
    if (Status rewound = m_source->rewind(); !rewound) {
        m_failure = rewound.takeFailure();
        m_eof = true;
        return false;
    }
    m_atFirst = true;
    return fetch();
}

bool Recordset::MoveNext() {
    if (!m_source || m_eof) {
        return false;
    }
    m_atFirst = false;
    return fetch() || !m_failure;
}

void Recordset::Close() {
    m_source.reset();
    m_eof = true;
    m_atFirst = true;
}

std::optional<uint64_t> Recordset::expectedRows() const {
    return m_source ? m_source->expectedRows() : std::nullopt;
}

}  // namespace korvane
