#pragma once
// One open database: the helper process that holds it, its catalogue, and the streams of rows
// read through it. Internal to the data-access component.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "platform/DbValue.h"
#include "platform/accessquery/AccessQuery.h"
#include "platform/mdb/MdbReaderProcess.h"

namespace korvane {

struct MdbColumnInfo {
    QString name;
    int type = 0;
    int size = 0;
    int scale = 0;
    int precision = 0;
};

// Rows behind a recordset.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual QStringList names() const = 0;
    // The next row into `row`. False at the end (error empty) or on failure (error set).
    virtual bool next(std::vector<DbValue>& row, QString* error) = 0;
    // Back before the first row.
    virtual bool rewind(QString* error) = 0;
};

class MdbSession {
public:
    struct Entry {
        QString name;
        int type = 0;
        uint32_t flags = 0;
    };

    // Starts the helper and opens the file; a description when that fails.
    std::optional<QString> open(const QString& path);
    const std::vector<Entry>& entries() const { return m_entries; }
    int jetVersion() const { return m_jetVersion; }

    // The catalogue the query engine needs (MSysObjects and MSysQueries rows), read once.
    std::optional<QString> loadQueryCatalogue(const QueryCatalogue** catalogue);

    // A stream over the rows of a local table, or a description of why it cannot be opened.
    std::unique_ptr<RowSource> openTable(const QString& name, QString* error);
    // The result of a saved select query, read whole.
    std::unique_ptr<RowSource> openQuery(const QString& name, QString* error);

private:
    friend class TableStream;
    // Reads the rest of a batch that a stream left unread, so the next request gets its own
    // reply.
    bool drain(QString* error);

    MdbReaderProcess m_reader;
    std::vector<Entry> m_entries;
    int m_jetVersion = -1;
    std::optional<QueryCatalogue> m_queryCatalogue;
    uint64_t m_generation = 0;  // which stream the helper's open table belongs to
    bool m_batchOpen = false;   // rows of a batch are still on their way
};

// Streams one table through the helper, batch by batch.
class TableStream {
public:
    TableStream(MdbSession& session, const QString& name);
    ~TableStream();

    bool open(QString* error);
    const std::vector<MdbColumnInfo>& columns() const { return m_columns; }
    bool next(std::vector<DbValue>& row, QString* error);

private:
    bool request(QString* error);
    bool decodeRow(const QByteArray& payload, std::vector<DbValue>& row, QString* error);

    MdbSession& m_session;
    QString m_name;
    uint64_t m_generation = 0;
    std::vector<MdbColumnInfo> m_columns;
    uint64_t m_declaredRows = 0;
    uint64_t m_rowsRead = 0;
    uint32_t m_batchSize = 64;
    bool m_ended = false;
};

}  // namespace korvane
