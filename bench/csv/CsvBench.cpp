// Times, on one generated CSV file in one run: `wc -l`, a Python csv.reader pass, our load pass
// (the count the display-range dialog makes), our whole open with every line chosen, a walk over
// every row as a view would show it, and a jump to the last rows. Prints each time, its ratio to
// `wc -l`, and the peak resident memory.
//
// csv_bench [FILE [LINES]]: FILE is written first when it does not exist (default
// /tmp/korvane-bench.csv, 3,000,000 lines).
#include <sys/resource.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "BenchCsvFile.h"
#include "csv/CsvLines.h"
#include "csv/LoadTextFile.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"

namespace {

using namespace korvane;
using korvane::bench::WriteBenchCsv;

// Best of `runs` wall times in seconds: the file is in the page cache after the first.
double BestSeconds(int runs, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
    return best;
}

int RunShell(const QString& command) {
    return std::system(command.toLocal8Bit().constData());
}

double PeakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/korvane-bench.csv");
    const int64_t wanted = argc > 2 ? std::atoll(argv[2]) : 3000000;
    if (!QFileInfo::exists(path)) {
        std::printf("writing %s (%lld lines)\n", qPrintable(path), static_cast<long long>(wanted));
        if (!WriteBenchCsv(path, wanted)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const double fileMb = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
    const QString quoted = QLatin1Char('\'') + path + QLatin1Char('\'');

    const double wc =
        BestSeconds(3, [&] { RunShell(QStringLiteral("wc -l < ") + quoted + " >/dev/null"); });
    const double python = BestSeconds(1, [&] {
        RunShell(QStringLiteral("python3 -c 'import csv,sys\n"
                                "n=w=0\n"
                                "with open(sys.argv[1],newline=\"\",encoding=\"utf-8\") as f:\n"
                                " for r in csv.reader(f):\n"
                                "  n+=1; w=max(w,len(r))\n"
                                "print(n,w)' ") +
                 quoted + " >/dev/null");
    });

    int64_t counted = 0;
    const double scan = BestSeconds(3, [&] {
        const CsvScan result = scanCsvLines(TextFileReader::openFile(path));
        counted = result.lines ? result.lines->lineCount() : -1;
    });

    ScriptedInteraction answers;
    answers.setDialogSteps(QStringLiteral("DialogConfirmCSV"),
                           {{ScriptStep::Action::Click, QStringLiteral("Option2"), {}, -1, true},
                            {ScriptStep::Action::Click, QStringLiteral("OKButton"), {}, -1, true}});
    setUserInteraction(&answers);
    setLoader(kFileCsv, LoadTextFile);
    TreePane tree;
    ListPane list;
    const double open = BestSeconds(3, [&] { OpenFile(path, tree, list); });

    int64_t cells = 0;
    const double walk = BestSeconds(1, [&] {
        cells = 0;
        for (int64_t row = 0; row < list.itemCount(); ++row) {
            cells += list.subItems(row).size() + (list.itemText(row).isEmpty() ? 0 : 1);
        }
    });
    const double jump = BestSeconds(1, [&] {
        for (int64_t row = std::max<int64_t>(0, list.itemCount() - 40); row < list.itemCount();
             ++row) {
            list.subItems(row);
        }
    });
    setUserInteraction(nullptr);

    std::printf("file: %.1f MB, %lld lines counted, %lld rows shown, %lld cells walked\n", fileMb,
                static_cast<long long>(counted), static_cast<long long>(list.itemCount()),
                static_cast<long long>(cells));
    auto report = [wc](const char* what, double seconds) {
        std::printf("%-36s %8.3f s  %7.2f x wc -l\n", what, seconds, seconds / wc);
    };
    report("wc -l", wc);
    report("python csv.reader pass", python);
    report("load pass (count lines and fields)", scan);
    report("open, every line shown", open);
    report("walk every row's fields", walk);
    std::printf("%-36s %8.3f ms\n", "jump to the last 40 rows", jump * 1000.0);
    std::printf("python / load pass: %.1f x; open / load pass: %.2f x\n", python / scan,
                open / scan);
    const double peak = PeakResidentMegabytes();
    std::printf("peak resident memory: %.1f MB (%.2f x file size)\n", peak, peak / fileMb);
    return 0;
}
