#pragma once
// An Excel 5.0/95 or 97-2003 workbook read from its file: the sheets in workbook order and the
// text of any cell. The globals are read on open; a sheet's cells when first asked for.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/xls/OleStream.h"
#include "platform/xls/XlsModel.h"
#include "platform/xls/XlsResult.h"

namespace korvane::xls {

class XlsWorkbook {
public:
    static Result<std::unique_ptr<XlsWorkbook>> open(const QString& path);
    static Result<std::unique_ptr<XlsWorkbook>> openBytes(const QByteArray& fileBytes);

    int biffVersion() const { return m_globals.biffVersion; }
    bool date1904() const { return m_globals.date1904; }
    int codePage() const { return m_globals.decoder.codePage(); }

    // Every sheet, as Excel's Sheets collection lists them: worksheets, chart sheets and macro
    // sheets, hidden ones too.
    int sheetCount() const { return static_cast<int>(m_globals.sheets.size()); }
    const SheetEntry& sheet(int index) const { return m_globals.sheets.at(index); }
    // The sheet of that name, compared without regard to letter case as Excel does.
    std::optional<int> findSheet(const QString& name) const;

    // The text of the cell at 1-based row and column of a sheet; the empty text for an empty
    // cell. A sheet without cells (a chart), a place outside a worksheet or an error value is a
    // failure.
    Result<QString> cellText(int sheetIndex, int64_t row, int64_t column);
    // The same for the sheet of that name (see findSheet).
    Result<QString> cellText(const QString& sheetName, int64_t row, int64_t column);

    // The cells of a worksheet or macro sheet, parsed on first use; nothing when the sheet holds
    // no cells or cannot be read (cellText then says why). Their texts are cellValueText's.
    const SheetCells* sheetCells(int sheetIndex);
    const WorkbookGlobals& globals() const { return m_globals; }

private:
    XlsWorkbook(QByteArray stream, WorkbookGlobals globals);
    static Result<std::unique_ptr<XlsWorkbook>> fromStream(Result<WorkbookStream> stream);

    QByteArray m_stream;
    WorkbookGlobals m_globals;
    std::vector<std::optional<Result<SheetCells>>> m_sheets;  // parsed on first use
};

}  // namespace korvane::xls
