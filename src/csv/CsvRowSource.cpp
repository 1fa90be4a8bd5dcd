#include "csv/CsvRowSource.h"

#include "text/CsvText.h"

namespace korvane {

CsvRowSource::CsvRowSource(std::shared_ptr<const CsvLines> lines, int64_t firstLine,
                           std::function<void()> fileChanged)
    : m_lines(std::move(lines)), m_firstLine(firstLine), m_fileChanged(std::move(fileChanged)) {}

QStringList CsvRowSource::subItems(int64_t row, int maxCount) const {
    if (!m_lines || row < 0) {
        return {};
    }
    // Read also when no field is wanted: the read is what notices a changed file.
    const std::optional<QString> line = m_lines->readLine(m_firstLine + row);
    noticeChange();
    if (!line || maxCount <= 0) {
        return {};
    }
    QStringList fields = SplitCsvLine(*line);
    if (fields.size() > maxCount) {
        fields.erase(fields.begin() + maxCount, fields.end());
    }
    return fields;
}

bool CsvRowSource::lost(int64_t row) const {
    if (!m_lines || !m_lines->fileChanged()) {
        return false;
    }
    // Once the file has changed nothing more is read from it: only lines still held from
    // before can be shown.
    return !m_lines->readLine(m_firstLine + row);
}

void CsvRowSource::noticeChange() const {
    if (m_fileChanged && m_lines->fileChanged()) {
        m_fileChanged();
    }
}

}  // namespace korvane
