#pragma once
// Writes the benchmark's CSV file: quoted fields holding commas and doubled quotes, Japanese
// text, CR LF line ends.

#include <QString>
#include <cstdint>

namespace korvane::bench {

// Writes `lines` lines to `path`; false when the file cannot be written.
bool WriteBenchCsv(const QString& path, int64_t lines);

}  // namespace korvane::bench
