#include "platform/xls/Spreadsheet.h"

#include <QFileInfo>

#include "platform/xls/XlsFault.h"
#include "platform/xls/XlsWorkbook.h"

namespace korvane::xls {

namespace {

class InProcessWorkbook : public SpreadsheetWorkbook {
public:
    InProcessWorkbook(std::unique_ptr<XlsWorkbook> workbook, QString windowName)
        : m_workbook(std::move(workbook)), m_windowName(std::move(windowName)) {}

    void setVisible(bool) override {}
    void setDisplayAlerts(bool) override {}
    void quit() override { m_workbook.reset(); }

    Status showWindow(const QString& name) override {
        if (!m_workbook) {
            return Failure{XlsFault::Released};
        }
        if (name.compare(m_windowName, Qt::CaseInsensitive) != 0) {
            return Failure{XlsFault::NoWindow, {name}};
        }
        return Done{};
    }

    int sheetCount() const override { return m_workbook ? m_workbook->sheetCount() : 0; }

    Result<QString> sheetName(int index) const override {
        if (!m_workbook) {
            return Failure{XlsFault::Released};
        }
        if (index < 1 || index > m_workbook->sheetCount()) {
            return Failure{XlsFault::NoSheetNumber, {QString::number(index)}};
        }
        return m_workbook->sheet(index - 1).name;
    }

    Result<QString> cellText(const QString& sheet, int64_t row, int64_t column) override {
        if (!m_workbook) {
            return Failure{XlsFault::Released};
        }
        return m_workbook->cellText(sheet, row, column);
    }

private:
    std::unique_ptr<XlsWorkbook> m_workbook;
    QString m_windowName;
};

SpreadsheetOpener& opener() {
    static SpreadsheetOpener instance;
    return instance;
}

}  // namespace

Result<std::unique_ptr<SpreadsheetWorkbook>> openInProcess(const QString& path) {
    Result<std::unique_ptr<XlsWorkbook>> workbook = XlsWorkbook::open(path);
    if (!workbook) {
        return workbook.takeFailure();
    }
    // The workbook's window bears the file's own name, extension included.
    return std::unique_ptr<SpreadsheetWorkbook>(
        new InProcessWorkbook(std::move(workbook).value(), QFileInfo(path).fileName()));
}

Result<std::unique_ptr<SpreadsheetWorkbook>> GetObject(const QString& path) {
    if (opener()) {
        return opener()(path);
    }
    return openInProcess(path);
}

void setSpreadsheetOpener(SpreadsheetOpener replacement) {
    opener() = std::move(replacement);
}

}  // namespace korvane::xls
