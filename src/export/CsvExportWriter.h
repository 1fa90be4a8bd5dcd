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
#include <string>
#include <vector>

#include "export/ExportFile.h"
#include "export/ExportTexts.h"
#include "platform/DbValue.h"
#include "platform/Result.h"

namespace korvane {

class CsvExportWriter {
public:
    explicit CsvExportWriter(const QString& path);
    ~CsvExportWriter();

    // Creates the temporary file.
    Status open();

    // Each returns false when the file could not take the line; writeFailure() says why.
    bool writeHeader(const QStringList& columnNames);
    // One line: Null values as nothing, any other value as its text form.
    bool writeRow(const std::vector<DbValue>& values);
    Failure writeFailure() const;

    // Moves the finished file over the target; on failure the target is untouched.
    Status commit();
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

// Why a file operation on `path` failed.
Failure fileFailureCause(QFileDevice::FileError error, const QString& path);

}  // namespace korvane
