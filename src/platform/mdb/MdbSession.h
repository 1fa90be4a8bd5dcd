#pragma once
// One open database: the helper process that holds it, its catalogue, and the streams of rows
// read through it. Internal to the data-access component.

#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/DbValue.h"
#include "platform/accessquery/AccessQuery.h"
#include "platform/mdb/MdbReaderProcess.h"
#include "platform/mdb/MdbReplies.h"

namespace korvane {

// Rows behind a recordset: a stream of rows (next, rewind) with its column names.
class RowSource : public TableRowStream {
public:
    virtual QStringList names() const = 0;
    // How many rows the source expects to give, when it knows.
    virtual std::optional<uint64_t> expectedRows() const { return std::nullopt; }
};

class TableStream;

class MdbSession : public std::enable_shared_from_this<MdbSession> {
public:
    // Starts the helper and opens the file.
    Status open(const QString& path);
    const QString& path() const { return m_path; }
    const std::vector<MdbCatalogueEntry>& entries() const { return m_entries; }
    int jetVersion() const { return m_jetVersion; }
    // How the file's names and text values read.
    const JetText& text() const { return m_text; }
    // The table, query or link of that exact name, where rows are asked for; or null. Forms,
    // reports, macros and modules of the same name are passed over.
    const MdbCatalogueEntry* findRowSource(const QString& name) const;

    // MSysObjects and MSysQueries rows, read once.
    Result<const QueryCatalogue*> loadQueryCatalogue();

    // A stream over the rows of a table of the catalogue.
    Result<std::unique_ptr<RowSource>> openTable(const MdbCatalogueEntry& table);
    // The result of a saved select query, stepped as its rows are asked for.
    Result<std::unique_ptr<RowSource>> openQuery(const QString& name,
                                                 const QueryRunOptions& options);
    // The values the saved select query asks for (see korvane::queryParameters).
    Result<QStringList> queryParameters(const QString& name);
    // The Access SQL of the saved query of that catalogue name, rebuilt from MSysQueries.
    Result<QString> querySql(const QString& name);

private:
    friend class TableStream;
    // Reads the rest of a batch a stream left unread, so the next request gets its own reply.
    Status drain();
    Status readWholeTable(const QString& name, TableRowSink& sink);
    // A table's columns, from its header alone (no rows), kept once asked for.
    Result<std::vector<TableColumn>> tableColumns(const QString& name);
    static std::vector<TableColumn> columnsOf(const TableStream& stream);

    MdbReaderProcess m_reader;
    QString m_path;
    std::vector<MdbCatalogueEntry> m_entries;
    int m_jetVersion = -1;
    JetText m_text;
    std::optional<QueryCatalogue> m_queryCatalogue;
    std::map<QString, std::vector<TableColumn>> m_tableColumns;
    uint64_t m_generation = 0;  // which stream the helper's open table belongs to
    bool m_batchOpen = false;   // rows of a batch are still on their way
};

// Streams one table through the helper, batch by batch.
class TableStream : public RowSource {
public:
    // `table` is an entry of the session's catalogue.
    TableStream(std::shared_ptr<MdbSession> session, const MdbCatalogueEntry& table);

    Status open();
    const std::vector<MdbColumnInfo>& columns() const { return m_header.columns; }
    QStringList names() const override;
    Result<bool> next(std::vector<DbValue>& row) override;
    Status rewind() override;
    std::optional<uint64_t> expectedRows() const override { return m_header.declaredRows; }

private:
    void request();
    // Ends the stream: later calls of next() give no row.
    Failure endWith(Failure failure);

    std::shared_ptr<MdbSession> m_session;
    QString m_name;
    uint32_t m_position = 0;  // in the catalogue
    uint64_t m_generation = 0;
    MdbTableHeader m_header;
    uint64_t m_rowsRead = 0;
    uint32_t m_batchSize = 64;
    bool m_ended = false;
};

}  // namespace korvane
