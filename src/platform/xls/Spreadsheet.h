#pragma once
// The spreadsheet application as the viewer uses it: open a workbook by path, list its sheets,
// give the text of one cell of a named sheet, end. The viewer's Excel code reaches workbooks
// only through this interface, so the reader behind it can be served in-process (the default)
// or from elsewhere, and tests can put a failing one in its place.

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/xls/XlsResult.h"

namespace korvane::xls {

class SpreadsheetWorkbook {
public:
    virtual ~SpreadsheetWorkbook() = default;

    // application.Visible: accepted; the component has no window of its own.
    virtual void setVisible(bool visible) = 0;
    // application.Windows(name).Visible = true: fails unless `name` is the workbook window's
    // name, the workbook file's own name with its extension.
    virtual Status showWindow(const QString& name) = 0;
    // application.Sheets.Count
    virtual int sheetCount() const = 0;
    // application.Sheets.Item(index).Name, index from 1
    virtual Result<QString> sheetName(int index) const = 0;
    // application.Sheets(sheet).Cells(row, column): the cell's value as text; row and column
    // from 1. An error value is a failure that names it.
    virtual Result<QString> cellText(const QString& sheet, int64_t row, int64_t column) = 0;
    // application.DisplayAlerts: accepted.
    virtual void setDisplayAlerts(bool on) = 0;
    // application.Quit: releases the workbook; every later request fails.
    virtual void quit() = 0;
};

using SpreadsheetOpener =
    std::function<Result<std::unique_ptr<SpreadsheetWorkbook>>(const QString& path)>;

// GetObject(path, "Excel.Sheet"): the workbook, or why it cannot be opened.
Result<std::unique_ptr<SpreadsheetWorkbook>> GetObject(const QString& path);

// Replaces the opener GetObject uses; an empty function restores the in-process reader.
void setSpreadsheetOpener(SpreadsheetOpener opener);

// The in-process reader itself.
Result<std::unique_ptr<SpreadsheetWorkbook>> openInProcess(const QString& path);

}  // namespace korvane::xls
