#pragma once
// What the export reads: one table or select query, its column names once, then its rows one
// by one, so that nothing is collected in memory.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/DbValue.h"

namespace korvane {

class ExportRowSource {
public:
    virtual ~ExportRowSource() = default;

    // The column names in the source's column order.
    virtual QStringList columnNames() const = 0;

    // Puts the next row into `values` (one value per column) and returns true; returns false
    // after the last row and when reading failed, which failure() then describes.
    virtual bool nextRow(std::vector<DbValue>& values) = 0;

    // Why reading stopped early; nothing while the rows came to their end normally.
    virtual std::optional<QString> failure() const = 0;
};

// The outcome of opening a source: the source, or which step failed and the engine's cause.
struct ExportSourceOpening {
    // Cancelled: the person declined to give a value the query asks for (and has been told).
    enum class Failure { None, Database, Source, Cancelled };
    std::unique_ptr<ExportRowSource> source;
    Failure failure = Failure::None;
    QString cause;
};

// Opens the source named `sourceName` (a table or a select query) on a connection of its own
// made from `connectionString`.
using ExportSourceOpener =
    std::function<ExportSourceOpening(const QString& connectionString, const QString& sourceName)>;

}  // namespace korvane
