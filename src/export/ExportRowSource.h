#pragma once
// What the export reads: one table or select query, its column names once, then its rows one
// by one, so that nothing is collected in memory.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "platform/DbValue.h"
#include "platform/Result.h"

namespace korvane {

class ExportRowSource {
public:
    virtual ~ExportRowSource() = default;

    // The column names in the source's column order.
    virtual QStringList columnNames() const = 0;

    // Puts the next row into `values` (one value per column): true, or false after the last
    // row.
    virtual Result<bool> nextRow(std::vector<DbValue>& values) = 0;
};

// Opens the source named `sourceName` (a table or a select query) on a connection of its own
// made from `connectionString`. Fails with CannotOpenDatabase, CannotOpenSource or
// ValuesDeclined (ExportTexts.h).
using ExportSourceOpener = std::function<Result<std::unique_ptr<ExportRowSource>>(
    const QString& connectionString, const QString& sourceName)>;

}  // namespace korvane
