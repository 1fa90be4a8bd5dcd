// Exports a large table through ExportToCsv (catalogue, own connection, rows streamed from the
// reader helper, written through a save file) and with mdbtools' mdb-export, in the same run,
// the two taking turns. Prints the times of both (min/median/max), the ratio of ours to
// mdb-export's, and the peak resident memory of the viewer and of the viewer with its helper
// while exporting, above what they used before. The ratio and the growth are the results; the
// times depend on the machine.
//
//   export_bench [database] [table] [repeats]
// Defaults: $KORVANE_FIXTURES/mdb/edge_big_jet4.mdb, BigTable, 5.
#include <sys/resource.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "database/DatabaseCatalogue.h"
#include "export/ExportToCsv.h"
#include "shell/ProgramState.h"
#include "support/BenchReport.h"

namespace {

// Resident memory in kB of a process, from /proc; 0 when it is gone.
long residentKb(const QString& pid) {
    QFile status(QStringLiteral("/proc/") + pid + QStringLiteral("/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return 0;
}

// The child processes of this process (the reader helper while a connection is open).
QStringList childPids() {
    QStringList pids;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(tasks.filePath(task) + QStringLiteral("/children"));
        if (children.open(QIODevice::ReadOnly)) {
            for (const QByteArray& pid : children.readAll().simplified().split(' ')) {
                if (!pid.isEmpty()) {
                    pids << QString::fromLatin1(pid);
                }
            }
        }
    }
    return pids;
}

// Samples the memory of this process and of its children while it lives.
class MemorySampler {
public:
    MemorySampler() : m_thread([this] { run(); }) {}
    ~MemorySampler() { stop(); }
    void stop() {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }
    long peakSelfKb() const { return m_peakSelf; }
    long peakTotalKb() const { return m_peakTotal; }

private:
    void run() {
        while (!m_stop) {
            const long self = residentKb(QStringLiteral("self"));
            long total = self;
            for (const QString& pid : childPids()) {
                total += residentKb(pid);
            }
            m_peakSelf = std::max(m_peakSelf.load(), self);
            m_peakTotal = std::max(m_peakTotal.load(), total);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    std::atomic<bool> m_stop{false};
    std::atomic<long> m_peakSelf{0};
    std::atomic<long> m_peakTotal{0};
    std::thread m_thread;
};

using korvane::bench::cpuMs;
using korvane::bench::cpuNowMs;
using korvane::bench::Spread;
using korvane::bench::spreadOf;

long countLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    long lines = 0;
    while (!file.atEnd()) {
        const QByteArray block = file.read(1 << 20);
        lines += block.count('\n');
    }
    return lines;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString database =
        args.value(1, qEnvironmentVariable("KORVANE_FIXTURES") + "/mdb/edge_big_jet4.mdb");
    const QString table = args.value(2, QStringLiteral("BigTable"));
    const int repeats = std::max(1, args.value(3, QStringLiteral("5")).toInt());

    korvane::InitProgramState();
    if (!korvane::ReadDatabaseCatalogue(database)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(database));
        return 1;
    }
    QTemporaryDir dir;
    const QString ours = dir.filePath(QStringLiteral("korvane.csv"));
    const QString theirs = dir.filePath(QStringLiteral("mdb-export.csv"));

    // A first small export warms up the helper start and the libraries, so the memory
    // measured below is what the streaming itself adds.
    korvane::ExportToCsv(dir.filePath(QStringLiteral("warm.csv")), table, true);
    QFile::remove(dir.filePath(QStringLiteral("warm.csv")));
    const long baseSelf = residentKb(QStringLiteral("self"));

    std::vector<double> oursMs;
    std::vector<double> theirsMs;
    std::vector<double> oursCpu;  // the viewer and its reader helper
    std::vector<double> theirsCpu;
    long peakSelf = 0;
    long peakTotal = 0;
    for (int r = 0; r < repeats; ++r) {
        {
            MemorySampler sampler;
            QElapsedTimer timer;
            const double cpuBefore = cpuNowMs();
            timer.start();
            const korvane::Status exported = korvane::ExportToCsv(ours, table, true);
            const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            sampler.stop();
            if (!exported) {
                std::fprintf(stderr, "export failed: %s\n", qPrintable(exported.failure().text()));
                return 1;
            }
            oursMs.push_back(ms);
            oursCpu.push_back(cpuNowMs() - cpuBefore);
            peakSelf = std::max(peakSelf, sampler.peakSelfKb());
            peakTotal = std::max(peakTotal, sampler.peakTotalKb());
        }
        {
            QProcess mdbExport;
            mdbExport.setStandardOutputFile(theirs);
            QElapsedTimer timer;
            const double cpuBefore = cpuMs(RUSAGE_CHILDREN);
            timer.start();
            mdbExport.start(QStringLiteral("mdb-export"), {database, table});
            if (!mdbExport.waitForFinished(-1) || mdbExport.exitCode() != 0) {
                std::fprintf(stderr, "mdb-export failed\n");
                return 1;
            }
            theirsMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            theirsCpu.push_back(cpuMs(RUSAGE_CHILDREN) - cpuBefore);
        }
    }

    const long rowsOurs = countLines(ours) - 1;  // without the header line
    const long rowsTheirs = countLines(theirs) - 1;
    const Spread a = spreadOf(oursMs);
    const Spread b = spreadOf(theirsMs);
    std::printf("table %s: %ld rows (mdb-export %ld lines after its header), %d runs each\n",
                qPrintable(table), rowsOurs, rowsTheirs, repeats);
    std::printf("export      ms  min %8.1f  median %8.1f  max %8.1f\n", a.min, a.median, a.max);
    std::printf("mdb-export  ms  min %8.1f  median %8.1f  max %8.1f\n", b.min, b.median, b.max);
    std::printf("export / mdb-export time: min %.2f  median %.2f  max %.2f  (goal <= 0.5)\n",
                a.min / b.min, a.median / b.median, a.max / b.max);
    const Spread c = spreadOf(oursCpu);
    const Spread d = spreadOf(theirsCpu);
    std::printf("CPU ms: export (viewer + reader) median %.1f, mdb-export median %.1f: %.2f\n",
                c.median, d.median, c.median / d.median);
    std::printf("viewer resident memory: %ld kB before, peak %ld kB while exporting (+%ld kB)\n",
                baseSelf, peakSelf, peakSelf - baseSelf);
    std::printf("viewer and reader helper together: peak %ld kB\n", peakTotal);
    for (size_t i = 0; i < oursMs.size(); ++i) {
        korvane::bench::reportLine("export the table to CSV", {oursMs[i] / 1000, peakTotal},
                                   "mdb-export", {theirsMs[i] / 1000, 0}, 0.5);
    }
    return 0;
}
