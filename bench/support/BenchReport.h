#pragma once
// One line of the benchmark table, printed so that tools/bench.sh can gather the lines of every
// benchmark into one table:
//   RESULT<TAB>work<TAB>seconds<TAB>peak KiB<TAB>yardstick<TAB>its seconds<TAB>its peak
//   KiB<TAB>goal
// The ratio is ours / the yardstick's time, both measured in the same run; `goal` is the ratio
// to stay at or under (0 when there is none). A peak of 0 means it was not measured.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace korvane::bench {

struct Measure {
    double seconds = 0;
    long peakKib = 0;
};

inline void reportLine(const char* work, Measure ours, const char* yardstick, Measure theirs,
                       double goal) {
    std::printf("RESULT\t%s\t%.6f\t%ld\t%s\t%.6f\t%ld\t%.3f\n", work, ours.seconds, ours.peakKib,
                yardstick, theirs.seconds, theirs.peakKib, goal);
    std::fflush(stdout);
}

// The peak resident memory of this process since the last resetPeak() (or its start), in KiB.
inline long peakKib() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:")) {
                return line.mid(6).trimmed().split(' ').value(0).toLong();
            }
        }
    }
    return 0;
}

// Starts the peak over from the current resident memory (Linux: "5" into clear_refs).
inline void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

// Runs a program (the yardstick), output to /dev/null unless `output` names a file, and waits
// for it: its wall time and its own peak resident memory. seconds < 0 when it failed.
inline Measure runMeasured(const QStringList& argv, const QString& output = QString()) {
    std::vector<QByteArray> args;
    for (const QString& arg : argv) {
        args.push_back(arg.toLocal8Bit());
    }
    std::vector<char*> pointers;
    for (QByteArray& arg : args) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);
    const QByteArray out = output.isEmpty() ? QByteArray("/dev/null") : output.toLocal8Bit();
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = fork();
    if (pid == 0) {
        if (std::freopen(out.constData(), "w", stdout) == nullptr) {
            _exit(127);
        }
        execvp(pointers[0], pointers.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return {-1, 0};
    }
    return {static_cast<double>(timer.nsecsElapsed()) / 1e9, usage.ru_maxrss};
}

// CPU time (user + system) in ms of this process or of its finished children, so far.
inline double cpuMs(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

inline double cpuNowMs() {
    return cpuMs(RUSAGE_SELF) + cpuMs(RUSAGE_CHILDREN);
}

// The fastest, middle and slowest of several runs.
struct Spread {
    double min = 0;
    double median = 0;
    double max = 0;
};

inline Spread spreadOf(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2], times.back()};
}

}  // namespace korvane::bench
