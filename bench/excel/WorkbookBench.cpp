// Shows columns A:E of rows 1 to 30,000 of the designed workbook's Data sheet through the Excel
// loader (catalogue, dialog answered by script, one cell request at a time into the list pane)
// and reads the same 150,000 cells with FreeXL, in the same run. Prints each time and the
// ratio to FreeXL; the ratio is the result, the times depend on the machine. The loader runs
// twice: reading in-process, and served by the helper process korvane-xls-reader as the program
// does, with the ratio of the two.
//
//   excel_bench [path to sample.xls] [repeats]
#include <freexl.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "excel/ColumnLetters.h"
#include "excel/WorkbookLoader.h"
#include "platform/UserInteraction.h"
#include "platform/xls/HelperSpreadsheet.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"

namespace {

constexpr int kRows = 30000;
constexpr int kColumns = 5;

double showWithLoader(const QString& path, int64_t& cells) {
    using korvane::ScriptStep;
    korvane::ScriptedInteraction ui;
    korvane::setUserInteraction(&ui);
    ui.setDialogSteps("DialogConfirmXLS",
                      {{ScriptStep::Action::SelectText, "List1", "Data", -1, true},
                       {ScriptStep::Action::SetText, "Text3", QString::number(kColumns), -1, true},
                       {ScriptStep::Action::SetText, "Text4", QString::number(kRows), -1, true},
                       {ScriptStep::Action::Click, "OKButton", {}, -1, true}});
    korvane::TreePane tree;
    korvane::ListPane list;
    QElapsedTimer timer;
    timer.start();
    korvane::LoadWorkbook(path, tree, list);
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    korvane::setUserInteraction(nullptr);
    cells = ui.records().empty() ? list.itemCount() * kColumns : -1;
    return ms;
}

double readWithFreeXl(const QString& path, int64_t& cells) {
    QElapsedTimer timer;
    timer.start();
    const void* handle = nullptr;
    cells = -1;
    if (freexl_open(QFile::encodeName(path).constData(), &handle) == FREEXL_OK) {
        unsigned sheets = 0;
        freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets);
        for (unsigned s = 0; s < sheets; ++s) {
            const char* name = nullptr;
            freexl_get_worksheet_name(handle, static_cast<unsigned short>(s), &name);
            if (name != nullptr && qstrcmp(name, "Data") == 0 &&
                freexl_select_active_worksheet(handle, static_cast<unsigned short>(s)) ==
                    FREEXL_OK) {
                cells = 0;
                for (unsigned r = 0; r < kRows; ++r) {
                    for (unsigned short c = 0; c < kColumns; ++c) {
                        FreeXL_CellValue value;
                        cells += freexl_get_cell_value(handle, r, c, &value) == FREEXL_OK;
                    }
                }
            }
        }
    }
    freexl_close(handle);
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : QDir(qEnvironmentVariable("KORVANE_TEST_DATA"))
                                        .filePath(QStringLiteral("sample.xls"));
    const int repeats = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    korvane::InitProgramState();
    korvane::BuildColumnLetters();

    std::vector<double> ours;
    std::vector<double> helper;
    std::vector<double> baseline;
    int64_t ourCells = 0;
    int64_t helperCells = 0;
    int64_t baselineCells = 0;
    for (int i = 0; i < repeats; ++i) {
        korvane::xls::setSpreadsheetOpener({});
        ours.push_back(showWithLoader(path, ourCells));
        korvane::xls::setSpreadsheetOpener(korvane::xls::openInHelper);
        helper.push_back(showWithLoader(path, helperCells));
        korvane::xls::setSpreadsheetOpener({});
        baseline.push_back(readWithFreeXl(path, baselineCells));
    }
    if (ourCells != int64_t{kRows} * kColumns || baselineCells != ourCells ||
        helperCells != ourCells) {
        std::fprintf(stderr, "cells shown %lld, read by FreeXL %lld: not the whole range\n",
                     static_cast<long long>(ourCells), static_cast<long long>(baselineCells));
        return 1;
    }
    const double oursMs = median(ours);
    const double baselineMs = median(baseline);
    std::printf("Data!A1:E30000 (%lld cells), median of %d runs\n",
                static_cast<long long>(ourCells), repeats);
    std::printf("  loader (open, catalogue, dialog, cell by cell into the list): %.0f ms\n",
                oursMs);
    std::printf("  FreeXL (open the workbook, read the same cells):              %.0f ms\n",
                baselineMs);
    std::printf("  ratio loader / FreeXL: %.2f\n", oursMs / baselineMs);
    const double helperMs = median(helper);
    std::printf("  loader served by korvane-xls-reader:                          %.0f ms\n",
                helperMs);
    std::printf("  ratio helper / in-process: %.2f\n", helperMs / oursMs);
    return 0;
}
