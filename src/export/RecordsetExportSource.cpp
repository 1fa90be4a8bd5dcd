#include "export/RecordsetExportSource.h"

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

    ExportSourceOpening open(const QString& connectionString, const QString& sourceName) {
        ExportSourceOpening opening;
        m_connection.ConnectionString = connectionString;
        if (!m_connection.Open()) {
            opening.failure = ExportSourceOpening::Failure::Database;
            opening.cause = m_connection.errorDescription();
            return opening;
        }
        if (!AskQueryValues(m_connection, sourceName, m_recordset.queryOptions.values)) {
            opening.failure = ExportSourceOpening::Failure::Cancelled;
            return opening;
        }
        if (!m_recordset.Open(sourceName, m_connection, 2, -1, -1)) {
            opening.failure = ExportSourceOpening::Failure::Source;
            opening.cause = m_recordset.errorDescription();
            return opening;
        }
        if (!m_recordset.Eof() && !m_recordset.MoveFirst()) {
            opening.failure = ExportSourceOpening::Failure::Source;
            opening.cause = m_recordset.errorDescription();
            return opening;
        }
        const Fields& fields = m_recordset.fields();
        for (int i = 0; i < fields.Count(); ++i) {
            m_names.append(fields.Item(i)->Name());
        }
        return opening;
    }

    QStringList columnNames() const override { return m_names; }

    bool nextRow(std::vector<DbValue>& values) override {
        if (m_failure) {
            return false;
        }
        if (m_started && !m_recordset.MoveNext()) {
            m_failure = m_recordset.errorDescription();
            return false;
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

    std::optional<QString> failure() const override { return m_failure; }

private:
    Connection m_connection;
    Recordset m_recordset;
    QStringList m_names;
    bool m_started = false;  // the first row is the current one after opening
    std::optional<QString> m_failure;
};

}  // namespace

ExportSourceOpening openRecordsetExportSource(const QString& connectionString,
                                              const QString& sourceName) {
    auto source = std::make_unique<RecordsetExportSource>();
    ExportSourceOpening opening = source->open(connectionString, sourceName);
    if (opening.failure == ExportSourceOpening::Failure::None) {
        opening.source = std::move(source);
    }
    return opening;
}

}  // namespace korvane
