#pragma once
// Where the tests find their files.
//
// - Designed test data is committed in tests/data: testDataFile("sample.xls").
// - The shared fixtures (files made by other programs, crashers, large designed files) are never
//   committed. They sit beside the clone on some machines only: CMake passes KORVANE_FIXTURES
//   when that folder exists. A test that needs one asks for it with
//       KORVANE_FIXTURE(path, "peer-mdb/x.mdb");    // GoogleTest
//       KORVANE_QFIXTURE(path, "peer-mdb/x.mdb");   // Qt Test
//   which declares `path` and skips the test, naming the file, when it is not here.
//   fixtureFile() gives the path or an empty string, for tests that only add cases with it.
// - The programs built beside the tests: binFile("korvane-cli").

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

namespace korvane::testing {

inline QString testDataFile(const QString& name) {
    return qEnvironmentVariable("KORVANE_TEST_DATA") + QLatin1Char('/') + name;
}

inline QString binFile(const QString& name) {
    return qEnvironmentVariable("KORVANE_BIN_DIR") + QLatin1Char('/') + name;
}

// The shared fixtures folder, or empty when this machine has none.
inline QString fixturesDir() {
    const QString dir = qEnvironmentVariable("KORVANE_FIXTURES");
    return !dir.isEmpty() && QFileInfo(dir).isDir() ? dir : QString();
}

// The path of a shared fixture (a file or a folder), or empty when it is not here.
inline QString fixtureFile(const QString& relative) {
    const QString dir = fixturesDir();
    const QString path = dir + QLatin1Char('/') + relative;
    return !dir.isEmpty() && QFileInfo::exists(path) ? path : QString();
}

inline QByteArray missingFixtureNote(const QString& relative) {
    return "shared fixture " + relative.toUtf8() + " is not on this machine";
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Input files written into a temporary folder that goes away with the object.
class TempFiles {
public:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(bytes);
        }
        return path;
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

}  // namespace korvane::testing

// Declares `var` as the path of a shared fixture, or skips the test when it is absent. Use as a
// statement of the test's body (the skip returns from it).
#define KORVANE_FIXTURE(var, relative)                             \
    const QString var = ::korvane::testing::fixtureFile(relative); \
    if (var.isEmpty())                                             \
    GTEST_SKIP() << ::korvane::testing::missingFixtureNote(relative).constData()

#define KORVANE_QFIXTURE(var, relative)                            \
    const QString var = ::korvane::testing::fixtureFile(relative); \
    if (var.isEmpty())                                             \
    QSKIP(::korvane::testing::missingFixtureNote(relative).constData())
