#include "excel/WorkbookLoader.h"

#include <cstdint>

#include "excel/ColumnLetters.h"
#include "excel/DialogConfirmXLS.h"
#include "excel/ExcelTexts.h"
#include "excel/SheetCatalogue.h"
#include "platform/UserInteraction.h"
#include "platform/xls/Spreadsheet.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/TreePane.h"
#include "text/Numbers.h"

namespace korvane {

namespace {

const QString kGroupKey = QStringLiteral("Excel");

struct CellRange {
    int16_t firstColumn = 1;
    int16_t firstRow = 1;
    int16_t columnCount = 0;
    int16_t rowCount = 0;
    QString sheet;
};

void FillTree(TreePane& treePane) {
    const int group = treePane.addRoot(kGroupKey, kGroupKey);
    treePane.setBold(group, true);
    for (const QString& name : programState().SheetNames) {
        treePane.addChild(kGroupKey, name);
    }
    treePane.setExpanded(treePane.find(kGroupKey), true);
}

void FillColumnHeaders(ListPane& listPane, const CellRange& range) {
    // The main window builds the table at start-up; a host without that window (the command-line
    // tool, tests) may not have. The names are fixed, so building them here changes nothing.
    if (ColumnLetters[1].isEmpty()) {
        BuildColumnLetters();
    }
    listPane.clearColumnHeaders();
    listPane.addColumnHeader(QStringLiteral("rec"));
    for (int j = 1; j <= range.columnCount; ++j) {
        const int column = range.firstColumn + j - 1;
        // The dialog keeps columns within 1..253; a wider range would have no letter name.
        listPane.addColumnHeader(column >= 0 && column < kColumnLetterEntries
                                     ? ColumnLetters[static_cast<size_t>(column)]
                                     : QString());
    }
}

// Reads the rows into the list pane from the workbook the catalogue opened; the description
// of the first failure, if any. The rows read before it stay.
xls::Status ReadRows(xls::SpreadsheetWorkbook& workbook, const QString& path,
                     const CellRange& range, ListPane& listPane) {
    workbook.setVisible(true);
    if (xls::Status shown = workbook.showWindow(WorkbookWindowName(path)); !shown) {
        return shown;
    }
    for (int32_t i = 1; i <= range.rowCount; ++i) {
        // Worksheet rows go up to 65536, so the row number is formed in 32 bits: a first row
        // of 32767 shows normally instead of overflowing a 16-bit counter.
        const int32_t row = int32_t{range.firstRow} + i - 1;
        listPane.addListItem(NumberText(row));
        for (int32_t j = 1; j <= range.columnCount; ++j) {
            const int32_t column = int32_t{range.firstColumn} + j - 1;
            xls::Result<QString> text = workbook.cellText(range.sheet, row, column);
            if (!text) {
                return text.takeFailure();
            }
            listPane.addListSubItem(text.value());
        }
    }
    workbook.setDisplayAlerts(false);
    workbook.quit();
    return xls::Done{};
}

}  // namespace

void LoadWorkbook(const QString& path, TreePane& treePane, ListPane& listPane) {
    // One reading of the file serves the catalogue, the dialog and the cells; it ends with the
    // open, however the open ends.
    xls::Result<std::unique_ptr<xls::SpreadsheetWorkbook>> opened = OpenSheetCatalogue(path);
    if (!opened) {
        ShowMessage(WorkbookFailureMessage(path));
        return;
    }
    const std::unique_ptr<xls::SpreadsheetWorkbook> workbook = std::move(opened).value();
    CellRange range;
    {
        DialogConfirmXLS dialog;
        userInteraction().runModal(dialog);
        if (dialog.retCode == 2) {
            workbook->quit();
            return;
        }
        range.firstColumn = dialog.m_cola;
        range.firstRow = dialog.m_rowa;
        range.columnCount = dialog.m_colb;
        range.rowCount = dialog.m_rowb;
        range.sheet = dialog.m_selectSheet;
    }

    FillTree(treePane);
    FillColumnHeaders(listPane, range);

    const xls::Status read = ReadRows(*workbook, path, range, listPane);
    if (!read) {
        // The rows read so far, the tree and the headers stay; the list is not refreshed.
        ShowMessage(WorkbookFailureMessage(path));
        ShowMessage(read.failure().text());
        return;
    }
    listPane.refresh();
}

}  // namespace korvane
