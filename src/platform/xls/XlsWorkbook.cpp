#include "platform/xls/XlsWorkbook.h"

#include "platform/xls/OleStream.h"
#include "platform/xls/XlsFault.h"

namespace korvane::xls {

XlsWorkbook::XlsWorkbook(QByteArray stream, WorkbookGlobals globals)
    : m_stream(std::move(stream)), m_globals(std::move(globals)) {
    m_sheets.resize(m_globals.sheets.size());
}

Result<std::unique_ptr<XlsWorkbook>> XlsWorkbook::fromStream(Result<WorkbookStream> stream) {
    if (!stream) {
        return stream.takeFailure();
    }
    Result<WorkbookGlobals> globals = parseGlobals(stream->bytes, stream->streamName);
    if (!globals) {
        return globals.takeFailure();
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

namespace {

// Why a sheet of this kind holds no cells.
Failure noCells(const SheetEntry& entry) {
    switch (entry.kind) {
        case SheetKind::Chart:
            return Failure{XlsFault::ChartSheet, {entry.name}};
        case SheetKind::VisualBasicModule:
            return Failure{XlsFault::ModuleSheet, {entry.name}};
        default:
            return Failure{XlsFault::SheetWithoutCells, {entry.name}};
    }
}

// Why a place is not a worksheet cell.
Status onTheSheet(int64_t row, int64_t column) {
    if (row < 1) {
        return Failure{XlsFault::RowBeforeSheet, {QString::number(row)}};
    }
    if (row > kMaxRows) {
        return Failure{XlsFault::RowAfterSheet, {QString::number(row), QString::number(kMaxRows)}};
    }
    if (column < 1) {
        return Failure{XlsFault::ColumnBeforeSheet, {QString::number(column)}};
    }
    if (column > kMaxColumns) {
        return Failure{XlsFault::ColumnAfterSheet,
                       {QString::number(column), QString::number(kMaxColumns)}};
    }
    return Done{};
}

}  // namespace

Result<QString> XlsWorkbook::cellText(const QString& sheetName, int64_t row, int64_t column) {
    const std::optional<int> index = findSheet(sheetName);
    if (!index) {
        return Failure{XlsFault::NoSuchSheet, {sheetName}};
    }
    return cellText(*index, row, column);
}

const SheetCells* XlsWorkbook::sheetCells(int sheetIndex) {
    if (sheetIndex < 0 || sheetIndex >= sheetCount()) {
        return nullptr;
    }
    const SheetEntry& entry = m_globals.sheets[sheetIndex];
    if (entry.kind != SheetKind::Worksheet && entry.kind != SheetKind::MacroSheet) {
        return nullptr;
    }
    std::optional<Result<SheetCells>>& cells = m_sheets[sheetIndex];
    if (!cells) {
        cells.emplace(parseSheet(m_stream, m_globals, entry));
    }
    return *cells ? &cells->value() : nullptr;
}

Result<QString> XlsWorkbook::cellText(int sheetIndex, int64_t row, int64_t column) {
    if (sheetIndex < 0 || sheetIndex >= sheetCount()) {
        return Failure{XlsFault::NoSheetNumber, {QString::number(sheetIndex + 1)}};
    }
    const SheetEntry& entry = m_globals.sheets[sheetIndex];
    if (entry.kind != SheetKind::Worksheet && entry.kind != SheetKind::MacroSheet) {
        return noCells(entry);
    }
    if (Status place = onTheSheet(row, column); !place) {
        return place.takeFailure();
    }
    std::optional<Result<SheetCells>>& cells = m_sheets[sheetIndex];
    if (!cells) {
        cells.emplace(parseSheet(m_stream, m_globals, entry));
    }
    if (!*cells) {
        return cells->takeFailure();
    }
    const SheetCells& sheet = cells->value();
    const auto key = cellKey(static_cast<uint32_t>(row - 1), static_cast<uint32_t>(column - 1));
    return cellValueText(sheet.find(key), sheet, m_globals, row, column);
}

}  // namespace korvane::xls
