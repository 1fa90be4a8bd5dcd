// Time to show a whole table in the list pane (catalogue, dialog answered by a script, rows read
// through the reader helper, value texts, list rows), against mdbtools' mdb-export writing the
// same table in the same run. Usage: database_bench [DB.mdb [TABLE]]; defaults to the
// 150,000-row BigTable of the shared fixtures.
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>

#include "database/LoadDatabase.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"

namespace {

using korvane::ScriptStep;

constexpr int kRounds = 3;

double showTable(const QString& database, const QString& table, int64_t* rows) {
    korvane::ScriptedInteraction ui;
    korvane::setUserInteraction(&ui);
    ui.setDialogSteps(
        QStringLiteral("DialogConfirmMDB"),
        {ScriptStep{ScriptStep::Action::SelectText, QStringLiteral("List1"), table, -1, true},
         ScriptStep{ScriptStep::Action::Click, QStringLiteral("OKButton"), {}, -1, true}});
    korvane::TreePane tree;
    korvane::ListPane list;
    QElapsedTimer timer;
    timer.start();
    korvane::LoadDatabase(database, tree, list);
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    *rows = list.itemCount();
    for (const QStringList& record : ui.records()) {
        std::fprintf(stderr, "%s\n", qPrintable(record.join(QLatin1Char(' '))));
    }
    korvane::setUserInteraction(nullptr);
    return ms;
}

double runMdbExport(const QString& database, const QString& table, int64_t* lines) {
    QProcess mdbExport;
    QElapsedTimer timer;
    timer.start();
    mdbExport.start(QStringLiteral("mdb-export"), {database, table});
    QByteArray out;
    while (mdbExport.waitForReadyRead(-1)) {
        out.append(mdbExport.readAllStandardOutput());
    }
    mdbExport.waitForFinished(-1);
    out.append(mdbExport.readAllStandardOutput());
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
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

    double bestOurs = 1e300;
    double bestTheirs = 1e300;
    int64_t rows = 0;
    int64_t lines = 0;
    for (int round = 0; round < kRounds; ++round) {
        bestOurs = std::min(bestOurs, showTable(database, table, &rows));
        const double theirs = runMdbExport(database, table, &lines);
        if (theirs < 0) {
            std::fprintf(stderr, "mdb-export failed\n");
            return 1;
        }
        bestTheirs = std::min(bestTheirs, theirs);
    }
    std::printf("table %s: %lld rows shown (mdb-export: %lld lines after its header)\n",
                qPrintable(table), static_cast<long long>(rows), static_cast<long long>(lines));
    std::printf("show whole table  %9.1f ms (best of %d)\n", bestOurs, kRounds);
    std::printf("mdb-export        %9.1f ms (best of %d)\n", bestTheirs, kRounds);
    std::printf("ratio (show / mdb-export time): %.2f\n", bestOurs / bestTheirs);
    return 0;
}
