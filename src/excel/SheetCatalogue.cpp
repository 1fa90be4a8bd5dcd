#include "excel/SheetCatalogue.h"

#include "shell/ProgramState.h"

namespace korvane {

QString WorkbookFailureMessage(const QString& path) {
    return QStringLiteral("ファイル(") + path + QStringLiteral("）は処理できません。");
}

QString WorkbookWindowName(const QString& path) {
    const QString fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        return fileName + QLatin1Char('.');  // no extension: the dot stays
    }
    return fileName;
}

std::unique_ptr<xls::SpreadsheetWorkbook> OpenSheetCatalogue(const QString& path) {
    const auto fail = [&path] {
        ShowMessage(WorkbookFailureMessage(path));
        return nullptr;
    };
    auto opened = xls::GetObject(path);
    if (!opened) {
        return fail();
    }
    std::unique_ptr<xls::SpreadsheetWorkbook> workbook = std::move(opened).value();
    workbook->setVisible(true);
    if (!workbook->showWindow(WorkbookWindowName(path))) {
        return fail();
    }
    const int count = workbook->sheetCount();
    QStringList& names = programState().SheetNames;
    names.clear();
    for (int i = 1; i <= count; ++i) {
        const xls::Result<QString> name = workbook->sheetName(i);
        if (!name) {
            return fail();  // the names read so far stay
        }
        names.append(name.value());
    }
    return workbook;
}

bool ReadSheetNames(const QString& path) {
    std::unique_ptr<xls::SpreadsheetWorkbook> workbook = OpenSheetCatalogue(path);
    if (!workbook) {
        return false;
    }
    workbook->setDisplayAlerts(false);
    workbook->quit();
    return true;
}

}  // namespace korvane
