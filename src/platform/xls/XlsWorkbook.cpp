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

namespace {

// Why a sheet of this kind holds no cells.
QString noCellsDescription(const SheetEntry& entry) {
    switch (entry.kind) {
        case SheetKind::Chart:
            return QStringLiteral("シート(%1)はグラフのシートで、セルがありません。")
                .arg(entry.name);
        case SheetKind::VisualBasicModule:
            return QStringLiteral("シート(%1)は VBA モジュールのシートで、セルがありません。")
                .arg(entry.name);
        default:
            return QStringLiteral("シート(%1)はセルを持たない種類のシートです。").arg(entry.name);
    }
}

// Why a place is not a worksheet cell; nothing when it is one.
std::optional<QString> outsideTheSheet(int64_t row, int64_t column) {
    if (row < 1) {
        return QStringLiteral("行 %1 はワークシートの行ではありません。").arg(row);
    }
    if (row > kMaxRows) {
        return QStringLiteral("行 %1 はワークシートの最後の行(%2)より後ろです。")
            .arg(row)
            .arg(kMaxRows);
    }
    if (column < 1) {
        return QStringLiteral("列 %1 はワークシートの列ではありません。").arg(column);
    }
    if (column > kMaxColumns) {
        return QStringLiteral("列 %1 はワークシートの最後の列(%2)より後ろです。")
            .arg(column)
            .arg(kMaxColumns);
    }
    return std::nullopt;
}

}  // namespace

Result<QString> XlsWorkbook::cellText(const QString& sheetName, int64_t row, int64_t column) {
    const std::optional<int> index = findSheet(sheetName);
    if (!index) {
        return Failure{QStringLiteral("ブックにシート(%1)がありません。").arg(sheetName)};
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
        return Failure{
            QStringLiteral("ブックに %1 番目のシートはありません。").arg(sheetIndex + 1)};
    }
    const SheetEntry& entry = m_globals.sheets[sheetIndex];
    if (entry.kind != SheetKind::Worksheet && entry.kind != SheetKind::MacroSheet) {
        return Failure{noCellsDescription(entry)};
    }
    if (std::optional<QString> outside = outsideTheSheet(row, column)) {
        return Failure{*outside};
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
    return cellValueText(sheet.find(key), sheet, m_globals, row, column);
}

}  // namespace korvane::xls
