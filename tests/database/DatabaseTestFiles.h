#pragma once
// Where the database tests find their files: copies of small designed databases in the test
// data folder, everything else in the shared fixtures (absent on some machines).

#include <QString>
#include <QtGlobal>

namespace korvane::testing {

inline QString testDataFile(const QString& name) {
    return qEnvironmentVariable("KORVANE_TEST_DATA") + QLatin1Char('/') + name;
}

// Empty when KORVANE_FIXTURES is not set.
inline QString fixturesDir() {
    return qEnvironmentVariable("KORVANE_FIXTURES");
}

inline QString fixtureFile(const QString& relative) {
    const QString dir = fixturesDir();
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + relative;
}

}  // namespace korvane::testing
