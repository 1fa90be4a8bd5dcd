// Time to show a whole table in the list pane (catalogue, dialog answered by a script, rows read
// through the reader helper, value texts, list rows), against mdbtools' mdb-export writing the
// same table in the same run, the two taking turns; min/median/max of the runs and their ratio.
// Usage: database_bench [DB.mdb [TABLE [RUNS]]]; defaults to the 150,000-row BigTable of the
// shared fixtures and 5 runs.
#include <sys/resource.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "database/LoadDatabase.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"
#include "support/BenchReport.h"

namespace {

using korvane::ScriptStep;

using korvane::bench::cpuMs;
using korvane::bench::cpuNowMs;
using korvane::bench::Spread;
using korvane::bench::spreadOf;

double showTable(const QString& database, const QString& table, int64_t* rows, double* cpu) {
    korvane::ScriptedInteraction ui;
    korvane::setUserInteraction(&ui);
    ui.setDialogSteps(
        QStringLiteral("DialogConfirmMDB"),
        {ScriptStep{ScriptStep::Action::SelectText, QStringLiteral("List1"), table, -1, true},
         ScriptStep{ScriptStep::Action::Click, QStringLiteral("OKButton"), {}, -1, true}});
    korvane::TreePane tree;
    korvane::ListPane list;
    QElapsedTimer timer;
    const double cpuBefore = cpuNowMs();
    timer.start();
    korvane::LoadDatabase(database, tree, list);
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    *cpu = cpuNowMs() - cpuBefore;
    *rows = list.itemCount();
    for (const QStringList& record : ui.records()) {
        std::fprintf(stderr, "%s\n", qPrintable(record.join(QLatin1Char(' '))));
    }
    korvane::setUserInteraction(nullptr);
    return ms;
}

double runMdbExport(const QString& database, const QString& table, int64_t* lines, double* cpu) {
    QProcess mdbExport;
    QElapsedTimer timer;
    const double cpuBefore = cpuMs(RUSAGE_CHILDREN);
    timer.start();
    mdbExport.start(QStringLiteral("mdb-export"), {database, table});
    QByteArray out;
    while (mdbExport.waitForReadyRead(-1)) {
        out.append(mdbExport.readAllStandardOutput());
    }
    mdbExport.waitForFinished(-1);
    out.append(mdbExport.readAllStandardOutput());
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    *cpu = cpuMs(RUSAGE_CHILDREN) - cpuBefore;
    *lines = std::max<int64_t>(0, out.count('\n') - 1);
    return mdbExport.exitCode() == 0 ? ms : -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    korvane::InitProgramState();
    const QString fixtures = qEnvironmentVariable("KORVANE_FIXTURES", "/work/shared/fixtures");
    const QString database =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : fixtures + "/mdb/edge_big_jet4.mdb";
    const QString table = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("BigTable");

    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    std::vector<double> oursMs;
    std::vector<double> theirsMs;
    std::vector<double> oursCpu;  // the viewer and its reader helper
    std::vector<double> theirsCpu;
    int64_t rows = 0;
    int64_t lines = 0;
    for (int round = 0; round < rounds; ++round) {
        double cpu = 0;
        oursMs.push_back(showTable(database, table, &rows, &cpu));
        oursCpu.push_back(cpu);
        const double theirs = runMdbExport(database, table, &lines, &cpu);
        if (theirs < 0) {
            std::fprintf(stderr, "mdb-export failed\n");
            return 1;
        }
        theirsMs.push_back(theirs);
        theirsCpu.push_back(cpu);
    }
    std::printf("table %s: %lld rows shown (mdb-export: %lld lines after its header)\n",
                qPrintable(table), static_cast<long long>(rows), static_cast<long long>(lines));
    const Spread a = spreadOf(oursMs);
    const Spread b = spreadOf(theirsMs);
    std::printf("show whole table  ms  min %8.1f  median %8.1f  max %8.1f  (%d runs)\n", a.min,
                a.median, a.max, rounds);
    std::printf("mdb-export        ms  min %8.1f  median %8.1f  max %8.1f\n", b.min, b.median,
                b.max);
    const Spread c = spreadOf(oursCpu);
    const Spread d = spreadOf(theirsCpu);
    std::printf("CPU ms: show (viewer + reader) median %.1f, mdb-export median %.1f: %.2f\n",
                c.median, d.median, c.median / d.median);
    std::printf("show / mdb-export time: min %.2f  median %.2f  max %.2f  (goal <= 0.4)\n",
                a.min / b.min, a.median / b.median, a.max / b.max);
    for (size_t i = 0; i < oursMs.size(); ++i) {
        korvane::bench::reportLine("show the whole table", {oursMs[i] / 1000, 0}, "mdb-export",
                                   {theirsMs[i] / 1000, 0}, 0.4);
    }
    return 0;
}
