#pragma once
// What this process holds, read from /proc: resident memory, open descriptors, child processes.

#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace korvane::testing {

// Resident memory in bytes, after handing freed heap back to the system so that only memory
// still in use counts.
int64_t residentBytes();

// Every open descriptor and what it points at ("/tmp/x.csv", "pipe:[123]", ...).
QMap<int, QString> openDescriptors();

// The processes whose parent is this process, as "pid name state" (a zombie counts: it was
// never waited for).
QStringList childProcesses();

}  // namespace korvane::testing
