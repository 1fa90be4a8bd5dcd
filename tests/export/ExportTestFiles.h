#pragma once
// Files and helpers shared by the export tests that read real databases.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

namespace korvane::testing {

inline QString testDataFile(const QString& name) {
    return qEnvironmentVariable("KORVANE_TEST_DATA") + QLatin1Char('/') + name;
}

// Empty when KORVANE_FIXTURES is not set.
inline QString fixtureFile(const QString& relative) {
    const QString dir = qEnvironmentVariable("KORVANE_FIXTURES");
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + relative;
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace korvane::testing
