#pragma once
// Writes the lines of an exported CSV file: UTF-8, "," between fields, CR LF after every line,
// every field as QuoteCsvField would give it. Values go straight to UTF-8 bytes, without a
// text in between, and the lines leave in large writes. The bytes go to a temporary file in
// the target's folder that replaces the target only on commit(), so a failed export leaves an
// existing file as it was and no half-written file behind.

#include <QFileDevice>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "export/ExportFile.h"
#include "platform/DbValue.h"

namespace korvane {

class CsvExportWriter {
public:
    explicit CsvExportWriter(const QString& path);
    ~CsvExportWriter();

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
    void appendValue(const DbValue& value);
    void appendText(const QString& text);
    bool endLine();
    bool flush();

    QString m_path;
    std::unique_ptr<ExportFile> m_file;
    bool m_open = false;
    std::string m_buffer;  // whole lines not yet written
};

// Why a file operation on `path` failed, in words for the user.
QString fileFailureCause(QFileDevice::FileError error, const QString& path);

}  // namespace korvane
