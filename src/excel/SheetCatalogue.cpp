#include "excel/SheetCatalogue.h"

#include "platform/xls/Spreadsheet.h"
#include "shell/ProgramState.h"
#include "text/CsvText.h"

namespace korvane {

QString WorkbookFailureMessage(const QString& path) {
    return QStringLiteral("ファイル(") + path + QStringLiteral("）は処理できません。");
}

QString WorkbookWindowName(const QString& path) {
    const PathParts parts = SplitPath(path);
    return parts.baseName + QLatin1Char('.') + parts.extension;
}

bool ReadSheetNames(const QString& path) {
    const QString windowName = WorkbookWindowName(path);
    const auto fail = [&path] {
        ShowMessage(WorkbookFailureMessage(path));
        return false;
    };
    auto workbook = xls::GetObject(path);
    if (!workbook) {
        return fail();
    }
    xls::SpreadsheetWorkbook& book = *workbook.value();
    book.setVisible(true);
    if (!book.showWindow(windowName)) {
        return fail();
    }
    const int count = book.sheetCount();
    QStringList& names = programState().SheetNames;
    names.clear();
    for (int i = 1; i <= count; ++i) {
        const xls::Result<QString> name = book.sheetName(i);
        if (!name) {
            return fail();  // the names read so far stay
        }
        names.append(name.value());
    }
    book.setDisplayAlerts(false);
    book.quit();
    return true;
}

}  // namespace korvane
