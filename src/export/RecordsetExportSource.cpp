#include "export/RecordsetExportSource.h"

#include "export/ExportTexts.h"
#include "platform/mdb/DataAccess.h"
#include "shell/QueryValues.h"

namespace korvane {

namespace {

class RecordsetExportSource : public ExportRowSource {
public:
    ~RecordsetExportSource() override {
        m_recordset.Close();
        m_connection.Close();
    }

    Status open(const QString& connectionString, const QString& sourceName) {
        m_connection.ConnectionString = connectionString;
        if (!m_connection.Open()) {
            return Failure(ExportFault::CannotOpenDatabase,
                           {parseConnectionString(connectionString).dataSource},
                           *m_connection.failure());
        }
        if (!AskQueryValues(m_connection, sourceName, m_recordset.queryOptions.values)) {
            return Failure{ExportFault::ValuesDeclined};
        }
        if (!m_recordset.Open(sourceName, m_connection, 2, -1, -1) ||
            (!m_recordset.Eof() && !m_recordset.MoveFirst())) {
            return Failure(ExportFault::CannotOpenSource, {sourceName}, *m_recordset.failure());
        }
        const Fields& fields = m_recordset.fields();
        for (int i = 0; i < fields.Count(); ++i) {
            m_names.append(fields.Item(i)->Name());
        }
        return Done{};
    }

    QStringList columnNames() const override { return m_names; }

    Result<bool> nextRow(std::vector<DbValue>& values) override {
        if (m_started && !m_recordset.MoveNext()) {
            return *m_recordset.failure();
        }
        m_started = true;
        if (m_recordset.Eof()) {
            return false;
        }
        const Fields& fields = m_recordset.fields();
        values.resize(static_cast<size_t>(fields.Count()));
        for (int i = 0; i < fields.Count(); ++i) {
            values[static_cast<size_t>(i)] = fields.Item(i)->Value();
        }
        return true;
    }

private:
    Connection m_connection;
    Recordset m_recordset;
    QStringList m_names;
    bool m_started = false;  // the first row is the current one after opening
};

}  // namespace

Result<std::unique_ptr<ExportRowSource>> openRecordsetExportSource(const QString& connectionString,
                                                                   const QString& sourceName) {
    auto source = std::make_unique<RecordsetExportSource>();
    if (Status opened = source->open(connectionString, sourceName); !opened) {
        return opened.takeFailure();
    }
    return std::unique_ptr<ExportRowSource>(std::move(source));
}

}  // namespace korvane
