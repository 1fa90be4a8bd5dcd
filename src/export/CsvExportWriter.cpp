#include "export/CsvExportWriter.h"

#include <QDir>
#include <QFileInfo>

#include "platform/mdb/DbValueText.h"
#include "text/CsvText.h"

namespace korvane {

CsvExportWriter::CsvExportWriter(const QString& path) : m_path(path), m_file(path) {
    // Only a finished file may replace the target: never fall back to writing it in place.
    m_file.setDirectWriteFallback(false);
}

std::optional<QString> CsvExportWriter::open() {
    if (QFileInfo(m_path).isDir()) {
        return QStringLiteral("同じ名前のフォルダがあります。");
    }
    if (!m_file.open(QIODevice::WriteOnly)) {
        return fileFailureCause(m_file, m_path);
    }
    return std::nullopt;
}

bool CsvExportWriter::writeHeader(const QStringList& columnNames) {
    m_line.clear();
    for (qsizetype i = 0; i < columnNames.size(); ++i) {
        if (i > 0) {
            m_line.append(',');
        }
        appendField(columnNames.at(i));
    }
    return endLine();
}

bool CsvExportWriter::writeRow(const std::vector<DbValue>& values) {
    m_line.clear();
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            m_line.append(',');
        }
        // Null leaves the field empty; so does an empty text, which is written the same way.
        if (!values[i].isNull()) {
            appendField(DbValueText(values[i]));
        }
    }
    return endLine();
}

QString CsvExportWriter::writeFailure() const {
    return fileFailureCause(m_file, m_path);
}

std::optional<QString> CsvExportWriter::commit() {
    if (!m_file.commit()) {
        return fileFailureCause(m_file, m_path);
    }
    return std::nullopt;
}

void CsvExportWriter::discard() {
    if (m_file.isOpen()) {
        m_file.cancelWriting();
        m_file.commit();  // after cancelWriting this only removes the temporary file
    }
}

void CsvExportWriter::appendField(const QString& text) {
    m_line.append(QuoteCsvField(text).toUtf8());
}

bool CsvExportWriter::endLine() {
    m_line.append("\r\n", 2);
    return m_file.write(m_line) == m_line.size();
}

QString fileFailureCause(const QFileDevice& file, const QString& path) {
    const QFileInfo info(path);
    switch (file.error()) {
        case QFileDevice::ResourceError:
            return QStringLiteral("ディスクの空きが足りません。");
        case QFileDevice::WriteError:
            return QStringLiteral("書き込みに失敗しました。");
        case QFileDevice::RenameError:
            return QStringLiteral("できあがったファイルを置くことができません。");
        case QFileDevice::OpenError:
        case QFileDevice::PermissionsError:
        default:
            break;
    }
    if (!info.dir().exists()) {
        return QStringLiteral("フォルダがありません。");
    }
    if (info.exists() && !info.isWritable()) {
        return QStringLiteral("ファイルへの書き込みが許可されていません。");
    }
    return QStringLiteral("フォルダへの書き込みが許可されていません。");
}

}  // namespace korvane
