// Times the CSV load pass against `wc -l` in the same run, on two generated files:
//  - the big one (9,000,000 lines, about 708 MB): our load pass (the count the display-range
//    dialog makes: lines, widest line, encoding, line starts) against `wc -l`;
//  - its 3,000,000-line sibling: opening it with every line shown against our load pass of it,
//    then a walk over every row as a view would show it and a jump to the last rows.
// Each time is taken RUNS times (default 5; the files are in the page cache after the first)
// and given as min / median / max; ratios are of the medians. Also the peak resident memory.
//
// csv_bench [BIG [SIBLING [RUNS]]]: the files are written first when they do not exist (default
// /tmp/korvane-bench-9m.csv and /tmp/korvane-bench.csv). Never commit them.
// With KORVANE_BENCH_PYTHON=1 a Python csv.reader pass over the sibling is timed too.
#include <sys/resource.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "BenchCsvFile.h"
#include "csv/CsvLines.h"
#include "csv/LoadTextFile.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"
#include "support/BenchReport.h"

namespace {

using namespace korvane;
using korvane::bench::WriteBenchCsv;

struct Times {
    double min = 0;
    double median = 0;
    double max = 0;
    std::vector<double> seconds;  // each run's, in the order they ran
};

// Wall times of `runs` runs of `work`, in seconds.
Times Measure(int runs, const std::function<void()>& work) {
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        seconds.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
    std::vector<double> sorted = seconds;
    std::sort(sorted.begin(), sorted.end());
    return {sorted.front(), sorted[sorted.size() / 2], sorted.back(), seconds};
}

int RunShell(const QString& command) {
    return std::system(command.toLocal8Bit().constData());
}

// User and system CPU seconds of this process (RUSAGE_SELF) or of its finished children.
double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The peak resident memory of this process, in KiB.
long PeakResidentKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double PeakResidentMegabytes() {
    return static_cast<double>(PeakResidentKib()) / 1024.0;
}

bool EnsureFile(const QString& path, int64_t lines) {
    if (QFileInfo::exists(path)) {
        return true;
    }
    std::printf("writing %s (%lld lines)\n", qPrintable(path), static_cast<long long>(lines));
    if (!WriteBenchCsv(path, lines)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

void Report(const char* what, const Times& times, const char* against, const Times& base) {
    std::printf("%-34s %7.3f / %7.3f / %7.3f s  %6.2f x %s\n", what, times.min, times.median,
                times.max, times.median / base.median, against);
}

int64_t LoadPassLines(const QString& path) {
    const CsvScan result = scanCsvLines(TextFileReader::openFile(path));
    return result.lines ? result.lines->lineCount() : -1;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString big =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/korvane-bench-9m.csv");
    const QString sibling =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("/tmp/korvane-bench.csv");
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    if (!EnsureFile(big, 9000000) || !EnsureFile(sibling, 3000000)) {
        return 1;
    }
    auto megabytes = [](const QString& path) {
        return static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
    };
    std::printf("min / median / max of %d runs; ratios of the medians\n", runs);

    // The big file: our load pass against wc -l, taken in turns so that both meet the same
    // state of the machine.
    const QString quotedBig = QLatin1Char('\'') + big + QLatin1Char('\'');
    LoadPassLines(big);  // into the page cache
    int64_t counted = 0;
    std::vector<double> wcRuns;
    std::vector<double> scanRuns;
    double wcCpu = 0;
    double scanCpu = 0;
    for (int i = 0; i < runs; ++i) {
        const double childrenBefore = CpuSeconds(RUSAGE_CHILDREN);
        wcRuns.push_back(Measure(1, [&] {
                             RunShell(QStringLiteral("wc -l < ") + quotedBig + " >/dev/null");
                         }).median);
        wcCpu += CpuSeconds(RUSAGE_CHILDREN) - childrenBefore;
        const double selfBefore = CpuSeconds(RUSAGE_SELF);
        scanRuns.push_back(Measure(1, [&] { counted = LoadPassLines(big); }).median);
        scanCpu += CpuSeconds(RUSAGE_SELF) - selfBefore;
    }
    auto timesOf = [](std::vector<double> seconds) {
        std::sort(seconds.begin(), seconds.end());
        return Times{seconds.front(), seconds[seconds.size() / 2], seconds.back(), {}};
    };
    const Times wc = timesOf(wcRuns);
    const Times scan = timesOf(scanRuns);
    std::printf("big file: %.1f MB, %lld lines counted\n", megabytes(big),
                static_cast<long long>(counted));
    Report("wc -l", wc, "wc -l", wc);
    Report("load pass", scan, "wc -l", wc);
    std::printf("%-34s %6.2f x wc -l (best of each)\n", "", scan.min / wc.min);
    // On a busy machine the wall times say more about the neighbours than about the work.
    std::printf("CPU per run: wc -l %.3f s, load pass %.3f s (all threads)\n", wcCpu / runs,
                scanCpu / runs);
    std::printf("peak resident memory after the load passes: %.1f MB\n", PeakResidentMegabytes());
    // One table line per turn: each load pass against the wc -l run just before it. The peak of
    // wc -l is not taken: the shell's children count this process's memory from before exec.
    for (size_t i = 0; i < scanRuns.size(); ++i) {
        korvane::bench::reportLine("load pass of the 9 M-line CSV",
                                   {scanRuns[i], PeakResidentKib()}, "wc -l", {wcRuns[i], 0}, 2.0);
    }

    if (qEnvironmentVariableIntValue("KORVANE_BENCH_DETAIL") == 1) {
        // The load pass taken apart: the plain reference, and each method on one thread or all.
        const Times reference = Measure(runs, [&] {
            counted = scanCsvLinesReference(TextFileReader::openFile(big)).lines->lineCount();
        });
        Report("reference pass (byte by byte)", reference, "wc -l", wc);
        const char* names[] = {"scalar", "sse2", "avx2"};
        for (const CsvScanMethod method :
             {CsvScanMethod::Scalar, CsvScanMethod::Sse2, CsvScanMethod::Avx2}) {
            for (const int threads : {1, 0}) {
                CsvScanOptions options;
                options.method = method;
                options.threads = threads;
                const Times times = Measure(
                    runs, [&] { scanCsvLines(TextFileReader::openFile(big), {}, options); });
                const QByteArray what = QByteArray("load pass, ") +
                                        names[static_cast<int>(method)] +
                                        (threads == 1 ? ", one thread" : ", every core");
                Report(what.constData(), times, "wc -l", wc);
            }
        }
    }

    // The sibling: the whole open with every line shown against our load pass of it.
    const Times siblingScan = Measure(runs, [&] { LoadPassLines(sibling); });
    ScriptedInteraction answers;
    answers.setDialogSteps(QStringLiteral("DialogConfirmCSV"),
                           {{ScriptStep::Action::Click, QStringLiteral("Option2"), {}, -1, true},
                            {ScriptStep::Action::Click, QStringLiteral("OKButton"), {}, -1, true}});
    setUserInteraction(&answers);
    setLoader(kFileCsv, LoadTextFile);
    TreePane tree;
    ListPane list;
    const Times open = Measure(runs, [&] { OpenFile(sibling, tree, list); });
    int64_t cells = 0;
    const Times walk = Measure(1, [&] {
        cells = 0;
        for (int64_t row = 0; row < list.itemCount(); ++row) {
            cells += list.subItems(row).size() + (list.itemText(row).isEmpty() ? 0 : 1);
        }
    });
    const Times jump = Measure(1, [&] {
        for (int64_t row = std::max<int64_t>(0, list.itemCount() - 40); row < list.itemCount();
             ++row) {
            list.subItems(row);
        }
    });
    setUserInteraction(nullptr);
    std::printf("sibling: %.1f MB, %lld rows shown, %lld cells walked\n", megabytes(sibling),
                static_cast<long long>(list.itemCount()), static_cast<long long>(cells));
    Report("load pass", siblingScan, "load pass", siblingScan);
    Report("open, every line shown", open, "load pass", siblingScan);
    Report("walk every row's fields", walk, "load pass", siblingScan);
    std::printf("%-34s %8.3f ms\n", "jump to the last 40 rows", jump.median * 1000.0);

    if (qEnvironmentVariableIntValue("KORVANE_BENCH_PYTHON") == 1) {
        const QString quoted = QLatin1Char('\'') + sibling + QLatin1Char('\'');
        const Times python = Measure(1, [&] {
            RunShell(QStringLiteral("python3 -c 'import csv,sys\n"
                                    "n=w=0\n"
                                    "with open(sys.argv[1],newline=\"\",encoding=\"utf-8\") as f:\n"
                                    " for r in csv.reader(f):\n"
                                    "  n+=1; w=max(w,len(r))\n"
                                    "print(n,w)' ") +
                     quoted + " >/dev/null");
        });
        Report("python csv.reader pass", python, "load pass", siblingScan);
    }
    const double peak = PeakResidentMegabytes();
    std::printf("peak resident memory: %.1f MB (%.2f x the sibling's size)\n", peak,
                peak / megabytes(sibling));
    for (size_t i = 0; i < open.seconds.size(); ++i) {
        korvane::bench::reportLine("open the 3 M-line sibling with every line shown",
                                   {open.seconds[i], PeakResidentKib()}, "our load pass",
                                   {siblingScan.seconds[i], 0}, 1.2);
    }
    return 0;
}
