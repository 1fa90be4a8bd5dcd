// Shows columns A:E of rows 1 to 30,000 of the designed workbook's Data sheet as the program
// does (the Excel loader, the dialog answered by script, the cells served by korvane-xls-reader)
// and reads the same 150,000 cells to text with xlrd, in the same run. Each side runs as its own
// process, started afresh for every run, so that its time and its peak memory are its own: the
// time from start to end, the peak resident memory of the viewer plus that of the helper. Prints
// min/median/max of each and the ratios of the medians; the ratios are the result, the figures
// depend on the machine.
//
//   excel_bench [path to sample.xls] [runs]
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "excel/ColumnLetters.h"
#include "excel/WorkbookLoader.h"
#include "platform/UserInteraction.h"
#include "platform/xls/HelperSpreadsheet.h"
#include "platform/xls/Spreadsheet.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"
#include "support/BenchReport.h"

extern char** environ;

namespace {

constexpr int kRows = 30000;
constexpr int kColumns = 5;
const char* const kPython = "/usr/bin/python3";

// Every cell of the rectangle made text, as the list pane shows it.
const char* const kXlrdScript = R"(import sys, xlrd
book = xlrd.open_workbook(sys.argv[1])
sheet = book.sheet_by_name("Data")
texts = [[str(sheet.cell_value(r, c)) for c in range(5)] for r in range(30000)]
print(len(texts) * 5)
)";

// The child's side: the loader as the program runs it. Prints the cells shown and the peak
// resident memory (KiB) of this process and of its helper.
int showInChild(const QString& path) {
    korvane::InitProgramState();
    korvane::BuildColumnLetters();
    korvane::xls::setSpreadsheetOpener(korvane::xls::openInHelper);
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
    korvane::LoadWorkbook(path, tree, list);
    korvane::setUserInteraction(nullptr);
    const long long cells = ui.records().empty() ? list.itemCount() * kColumns : -1;
    rusage self{};
    rusage helper{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &helper);
    std::printf("%lld %ld %ld\n", cells, self.ru_maxrss, helper.ru_maxrss);
    return 0;
}

struct Run {
    double ms = 0;
    double peakMb = 0;
    long long cells = -1;
};

// Starts `argv`, waits for it; its time, its own peak memory and the first line it printed.
Run spawnAndWait(const std::vector<std::string>& args, std::string& firstLine) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    int pipeFds[2];
    Run run;
    if (pipe(pipeFds) != 0) {
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string out;
    char buffer[256];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        out.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    if (spawned != 0) {
        return run;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    firstLine = out.substr(0, out.find('\n'));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        firstLine.clear();
    }
    return run;
}

Run runOurs(const std::string& self, const std::string& path) {
    std::string line;
    Run run = spawnAndWait({self, "--show", path}, line);
    long long cells = -1;
    long viewerKb = 0;
    long helperKb = 0;
    if (std::sscanf(line.c_str(), "%lld %ld %ld", &cells, &viewerKb, &helperKb) == 3) {
        run.cells = cells;
        run.peakMb = static_cast<double>(viewerKb + helperKb) / 1024.0;
    }
    return run;
}

Run runXlrd(const std::string& path) {
    std::string line;
    Run run = spawnAndWait({kPython, "-c", kXlrdScript, path}, line);
    run.cells = line.empty() ? -1 : std::atoll(line.c_str());
    return run;
}

struct Spread {
    double min;
    double median;
    double max;
};

Spread spreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values.front(), values[values.size() / 2], values.back()};
}

void printLine(const char* name, const Spread& time, const Spread& memory) {
    std::printf("  %-34s %6.0f / %6.0f / %6.0f ms   %6.1f / %6.1f / %6.1f MB\n", name, time.min,
                time.median, time.max, memory.min, memory.median, memory.max);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2 && qstrcmp(argv[1], "--show") == 0) {
        QApplication app(argc, argv);
        return showInChild(QString::fromLocal8Bit(argv[2]));
    }
    const std::string path = argc > 1
                                 ? std::string(argv[1])
                                 : QFile::encodeName(QDir(qEnvironmentVariable("KORVANE_TEST_DATA"))
                                                         .filePath(QStringLiteral("sample.xls")))
                                       .toStdString();
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    const std::string self =
        QFile::encodeName(QFile::symLinkTarget("/proc/self/exe")).toStdString();

    std::vector<double> ourMs;
    std::vector<double> ourMb;
    std::vector<double> xlrdMs;
    std::vector<double> xlrdMb;
    for (int i = 0; i < runs; ++i) {
        const Run ours = runOurs(self, path);
        const Run xlrd = runXlrd(path);
        if (ours.cells != int64_t{kRows} * kColumns || xlrd.cells != ours.cells) {
            std::fprintf(stderr, "cells shown %lld, read by xlrd %lld: not the whole range\n",
                         ours.cells, xlrd.cells);
            return 1;
        }
        ourMs.push_back(ours.ms);
        ourMb.push_back(ours.peakMb);
        xlrdMs.push_back(xlrd.ms);
        xlrdMb.push_back(xlrd.peakMb);
    }
    const Spread ourTime = spreadOf(ourMs);
    const Spread ourMemory = spreadOf(ourMb);
    const Spread xlrdTime = spreadOf(xlrdMs);
    const Spread xlrdMemory = spreadOf(xlrdMb);
    std::printf("show Data!A1:E30000 of %s (%d x %d), %d runs, min / median / max\n", path.c_str(),
                kRows, kColumns, runs);
    printLine("korvane (viewer + reader helper)", ourTime, ourMemory);
    printLine("xlrd (open, every cell to text)", xlrdTime, xlrdMemory);
    std::printf("  ratio of medians korvane / xlrd: time %.2f, peak memory %.2f\n",
                ourTime.median / xlrdTime.median, ourMemory.median / xlrdMemory.median);
    for (size_t i = 0; i < ourMs.size(); ++i) {
        korvane::bench::reportLine("show Data of sample.xls, 30,000 x 5",
                                   {ourMs[i] / 1000, static_cast<long>(ourMb[i] * 1024)}, "xlrd",
                                   {xlrdMs[i] / 1000, static_cast<long>(xlrdMb[i] * 1024)}, 0.2);
    }
    return 0;
}
