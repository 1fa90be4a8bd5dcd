#pragma once
// Writes the lines of an exported CSV file: UTF-8, "," between fields, CR LF after every line,
// every field through QuoteCsvField. The text goes to a temporary file in the target's folder
// that replaces the target only on commit(), so a failed export leaves an existing file as it
// was and no half-written file behind.

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "platform/DbValue.h"

namespace korvane {

class CsvExportWriter {
public:
    explicit CsvExportWriter(const QString& path);

    // Creates the temporary file; on failure the cause, in words for the user.
    std::optional<QString> open();

    // Each returns false when the file could not take the line; writeFailure() says why.
    bool writeHeader(const QStringList& columnNames);
    // One line: Null values as nothing, any other value as its text form.
    bool writeRow(const std::vector<DbValue>& values);
    QString writeFailure() const;

    // Moves the finished file over the target; on failure the cause, and the target untouched.
    std::optional<QString> commit();
    // Drops the temporary file; the target stays as it was.
    void discard();

private:
    void appendField(const QString& text);
    bool endLine();

    QString m_path;
    QSaveFile m_file;
    QByteArray m_line;  // the line being built, reused from row to row
};

// Why a file operation on `path` failed, in words for the user.
QString fileFailureCause(const QFileDevice& file, const QString& path);

}  // namespace korvane
