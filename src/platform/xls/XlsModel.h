#pragma once
// What the reader keeps of a workbook: the globals (sheets, shared strings, formats, code page,
// date system) and, per sheet, its cells in a sparse sorted list.

#include <QHash>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/xls/CodePage.h"
#include "platform/xls/XlsResult.h"

namespace korvane::xls {

enum class SheetKind : uint8_t { Worksheet, MacroSheet, Chart, VisualBasicModule, Other };

struct SheetEntry {
    QString name;
    SheetKind kind = SheetKind::Worksheet;
    uint32_t bofOffset = 0;  // stream position of the sheet's BOF record
};

// Worksheet limits (Excel 97-2003; Excel 5.0/95 sheets are smaller and fit in them).
constexpr int64_t kMaxRows = 65536;
constexpr int64_t kMaxColumns = 256;

struct WorkbookGlobals {
    int biffVersion = 8;  // 5 (Excel 5.0/95) or 8 (Excel 97-2003)
    bool date1904 = false;
    CodePageDecoder decoder;
    std::vector<SheetEntry> sheets;
    std::vector<QString> sharedStrings;
    std::vector<bool> xfIsDate;  // per XF index: its number format shows dates or times
};

enum class CellKind : uint8_t { Number, Text, SharedText, Boolean, Error };

struct Cell {
    uint32_t key = 0;  // row * 256 + column, both 0-based
    CellKind kind = CellKind::Number;
    uint8_t code = 0;  // the boolean or the error code
    uint16_t xf = 0;
    double number = 0.0;
    uint32_t index = 0;  // SharedText: into the shared strings; Text: into the sheet's texts
};

struct SheetCells {
    std::vector<Cell> cells;  // sorted by key, one per key
    std::vector<QString> texts;

    const Cell* find(uint32_t key) const;
};

inline uint32_t cellKey(uint32_t row0, uint32_t column0) {
    return row0 * 256 + column0;
}

// Parses the globals substream at the start of the workbook stream.
Result<WorkbookGlobals> parseGlobals(const QByteArray& stream, const QString& streamName);
// Parses the cells of one sheet's substream.
Result<SheetCells> parseSheet(const QByteArray& stream, const WorkbookGlobals& globals,
                              const SheetEntry& sheet);

// The text of the cell at 1-based row and column; an error value is a failure naming the cell
// and the error.
Result<QString> cellValueText(const Cell* cell, const SheetCells& sheet,
                              const WorkbookGlobals& globals, int64_t row, int64_t column);
// "A1", "IV65536"
QString cellName(int64_t row, int64_t column);
// The name of an error code: "#DIV/0!", "#N/A", ...
QString errorName(uint8_t code);
// An Excel date serial as the date Excel shows, in the date text form.
QString excelSerialText(double serial, bool date1904);

}  // namespace korvane::xls
