#pragma once
// A table held in memory for the export tests: column names, rows, and optionally a failure
// after some rows or at opening.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "export/ExportRowSource.h"

namespace korvane::testing {

inline DbValue nullValue() {
    return DbValue{};
}

inline DbValue textValue(const QString& text) {
    DbValue value;
    value.kind = DbValue::Kind::Text;
    value.text = text;
    return value;
}

inline DbValue integerValue(int64_t number) {
    DbValue value;
    value.kind = DbValue::Kind::Integer;
    value.integer = number;
    return value;
}

struct FakeTable {
    FakeTable(QStringList columnNames = {}, std::vector<std::vector<DbValue>> rowValues = {},
              std::optional<QString> failure = std::nullopt, size_t failAfterRows = 0)
        : columns(std::move(columnNames)),
          rows(std::move(rowValues)),
          readFailure(std::move(failure)),
          failAfter(failAfterRows) {}

    QStringList columns;
    std::vector<std::vector<DbValue>> rows;
    // Reading stops with this cause after `failAfter` rows.
    std::optional<QString> readFailure;
    size_t failAfter = 0;
};

class FakeRowSource : public ExportRowSource {
public:
    explicit FakeRowSource(FakeTable table) : m_table(std::move(table)) {}

    QStringList columnNames() const override { return m_table.columns; }

    bool nextRow(std::vector<DbValue>& values) override {
        if (m_table.readFailure && m_next == m_table.failAfter) {
            m_failed = true;
            return false;
        }
        if (m_next >= m_table.rows.size()) {
            return false;
        }
        values = m_table.rows[m_next++];
        return true;
    }

    std::optional<QString> failure() const override {
        return m_failed ? m_table.readFailure : std::nullopt;
    }

private:
    FakeTable m_table;
    size_t m_next = 0;
    bool m_failed = false;
};

// An opener that hands out `table`, or fails at the given step with `cause`.
inline ExportSourceOpener fakeOpener(
    FakeTable table, ExportSourceOpening::Failure failure = ExportSourceOpening::Failure::None,
    QString cause = {}) {
    return [table, failure, cause](const QString&, const QString&) {
        ExportSourceOpening opening;
        opening.failure = failure;
        opening.cause = cause;
        if (failure == ExportSourceOpening::Failure::None) {
            opening.source = std::make_unique<FakeRowSource>(table);
        }
        return opening;
    };
}

}  // namespace korvane::testing
