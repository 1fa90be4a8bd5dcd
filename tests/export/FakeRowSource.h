#pragma once
// A table held in memory for the export tests: column names, rows, and optionally a failure
// after some rows or at opening.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "export/ExportRowSource.h"
#include "support/TestFailure.h"

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
              std::optional<Failure> failure = std::nullopt, size_t failAfterRows = 0)
        : columns(std::move(columnNames)),
          rows(std::move(rowValues)),
          readFailure(std::move(failure)),
          failAfter(failAfterRows) {}

    QStringList columns;
    std::vector<std::vector<DbValue>> rows;
    // Reading stops with this cause after `failAfter` rows.
    std::optional<Failure> readFailure;
    size_t failAfter = 0;
};

class FakeRowSource : public ExportRowSource {
public:
    explicit FakeRowSource(FakeTable table) : m_table(std::move(table)) {}

    QStringList columnNames() const override { return m_table.columns; }

    Result<bool> nextRow(std::vector<DbValue>& values) override {
        if (m_table.readFailure && m_next == m_table.failAfter) {
            return *m_table.readFailure;
        }
        if (m_next >= m_table.rows.size()) {
            return false;
        }
        values = m_table.rows[m_next++];
        return true;
    }

private:
    FakeTable m_table;
    size_t m_next = 0;
};

// An opener that hands out `table`, or fails with `failure`.
inline ExportSourceOpener fakeOpener(FakeTable table,
                                     std::optional<Failure> failure = std::nullopt) {
    return [table, failure](const QString&,
                            const QString&) -> Result<std::unique_ptr<ExportRowSource>> {
        if (failure) {
            return *failure;
        }
        return std::unique_ptr<ExportRowSource>(std::make_unique<FakeRowSource>(table));
    };
}

}  // namespace korvane::testing
