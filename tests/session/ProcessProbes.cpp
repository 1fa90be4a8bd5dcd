#include "ProcessProbes.h"

#include <malloc.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace korvane::testing {

int64_t residentBytes() {
    malloc_trim(0);
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
        }
    }
    return -1;
}

QMap<int, QString> openDescriptors() {
    QMap<int, QString> result;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& name : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = QFile::symLinkTarget(fds.filePath(name));
        // The listing's own descriptor is gone by now and leads nowhere.
        if (!target.isEmpty() || QFileInfo(fds.filePath(name)).isSymLink()) {
            result.insert(name.toInt(), target);
        }
    }
    return result;
}

QStringList childProcesses() {
    QStringList children;
    const QByteArray self = QByteArray::number(static_cast<qint64>(getpid()));
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
        if (!pid.at(0).isDigit() || !stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // "pid (name) state ppid ...": the name may hold spaces and parentheses.
        const QByteArray line = stat.readAll();
        const int close = line.lastIndexOf(')');
        const QList<QByteArray> rest = line.mid(close + 2).split(' ');
        if (close > 0 && rest.size() > 1 && rest[1] == self) {
            children << pid + QLatin1Char(' ') +
                            QString::fromUtf8(
                                line.mid(line.indexOf('(') + 1, close - line.indexOf('(') - 1)) +
                            QLatin1Char(' ') + QString::fromLatin1(rest[0]);
        }
    }
    return children;
}

}  // namespace korvane::testing
