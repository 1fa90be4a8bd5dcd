#include "csv/CsvRowSource.h"

#include "text/CsvText.h"

namespace korvane {

CsvRowSource::CsvRowSource(std::shared_ptr<const CsvLines> lines, int64_t firstLine)
    : m_lines(std::move(lines)), m_firstLine(firstLine) {}

QStringList CsvRowSource::subItems(int64_t row, int maxCount) const {
    if (!m_lines || row < 0 || maxCount <= 0) {
        return {};
    }
    QStringList fields = SplitCsvLine(m_lines->lineText(m_firstLine + row));
    if (fields.size() > maxCount) {
        fields.erase(fields.begin() + maxCount, fields.end());
    }
    return fields;
}

}  // namespace korvane
