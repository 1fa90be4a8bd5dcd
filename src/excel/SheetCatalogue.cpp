#include "excel/SheetCatalogue.h"

#include "excel/ExcelTexts.h"
#include "shell/ProgramState.h"

namespace korvane {

QString WorkbookWindowName(const QString& path) {
    const QString fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        return fileName + QLatin1Char('.');  // no extension: the dot stays
    }
    return fileName;
}

xls::Result<std::unique_ptr<xls::SpreadsheetWorkbook>> OpenSheetCatalogue(const QString& path) {
    auto opened = xls::GetObject(path);
    if (!opened) {
        return opened;
    }
    std::unique_ptr<xls::SpreadsheetWorkbook> workbook = std::move(opened).value();
    workbook->setVisible(true);
    if (xls::Status shown = workbook->showWindow(WorkbookWindowName(path)); !shown) {
        return shown.takeFailure();
    }
    const int count = workbook->sheetCount();
    QStringList& names = programState().SheetNames;
    names.clear();
    for (int i = 1; i <= count; ++i) {
        const xls::Result<QString> name = workbook->sheetName(i);
        if (!name) {
            return name.takeFailure();  // the names read so far stay
        }
        names.append(name.value());
    }
    return workbook;
}

bool ReadSheetNames(const QString& path) {
    xls::Result<std::unique_ptr<xls::SpreadsheetWorkbook>> workbook = OpenSheetCatalogue(path);
    if (!workbook) {
        ShowMessage(WorkbookFailureMessage(path));
        return false;
    }
    workbook.value()->setDisplayAlerts(false);
    workbook.value()->quit();
    return true;
}

}  // namespace korvane
