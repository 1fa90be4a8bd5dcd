#include "platform/xls/XlsWorkbook.h"

#include "platform/xls/OleStream.h"

namespace korvane::xls {

XlsWorkbook::XlsWorkbook(QByteArray stream, WorkbookGlobals globals)
    : m_stream(std::move(stream)), m_globals(std::move(globals)) {
    m_sheets.resize(m_globals.sheets.size());
}

Result<std::unique_ptr<XlsWorkbook>> XlsWorkbook::fromStream(Result<WorkbookStream> stream) {
    if (!stream) {
        return Failure{stream.failure()};
    }
    Result<WorkbookGlobals> globals = parseGlobals(stream->bytes, stream->streamName);
    if (!globals) {
        return Failure{globals.failure()};
    }
    return std::unique_ptr<XlsWorkbook>(
        new XlsWorkbook(std::move(stream.value().bytes), std::move(globals).value()));
}

Result<std::unique_ptr<XlsWorkbook>> XlsWorkbook::open(const QString& path) {
    return fromStream(readWorkbookStream(path));
}

Result<std::unique_ptr<XlsWorkbook>> XlsWorkbook::openBytes(const QByteArray& fileBytes) {
    return fromStream(readWorkbookStreamFromBytes(fileBytes));
}

std::optional<int> XlsWorkbook::findSheet(const QString& name) const {
    for (int i = 0; i < sheetCount(); ++i) {
        if (m_globals.sheets[i].name == name) {
            return i;
        }
    }
    for (int i = 0; i < sheetCount(); ++i) {
        if (m_globals.sheets[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return std::nullopt;
}

Result<QString> XlsWorkbook::cellText(int sheetIndex, int64_t row, int64_t column) {
    if (sheetIndex < 0 || sheetIndex >= sheetCount()) {
        return Failure{QStringLiteral("the workbook has no sheet %1").arg(sheetIndex + 1)};
    }
    const SheetEntry& entry = m_globals.sheets[sheetIndex];
    if (entry.kind != SheetKind::Worksheet && entry.kind != SheetKind::MacroSheet) {
        return Failure{QStringLiteral("the sheet %1 is a chart or other sheet that holds no cells")
                           .arg(entry.name)};
    }
    if (row < 1 || row > kMaxRows) {
        return Failure{row < 1 ? QStringLiteral("row %1 is not a worksheet row").arg(row)
                               : QStringLiteral("row %1 lies beyond the last row of a worksheet "
                                                "(%2)")
                                     .arg(row)
                                     .arg(kMaxRows)};
    }
    if (column < 1 || column > kMaxColumns) {
        return Failure{column < 1
                           ? QStringLiteral("column %1 is not a worksheet column").arg(column)
                           : QStringLiteral("column %1 lies beyond the last column of a "
                                            "worksheet (%2)")
                                 .arg(column)
                                 .arg(kMaxColumns)};
    }
    std::optional<Result<SheetCells>>& cells = m_sheets[sheetIndex];
    if (!cells) {
        cells.emplace(parseSheet(m_stream, m_globals, entry));
    }
    if (!*cells) {
        return Failure{cells->failure()};
    }
    const SheetCells& sheet = cells->value();
    const auto key = cellKey(static_cast<uint32_t>(row - 1), static_cast<uint32_t>(column - 1));
    return cellValueText(sheet.find(key), sheet, m_globals, cellName(row, column));
}

}  // namespace korvane::xls
