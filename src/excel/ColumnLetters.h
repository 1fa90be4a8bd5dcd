#pragma once
// The letter names of worksheet columns: entry n is the name of column n ("A" for 1, "AA" for
// 27, "IU" for 255). Entry 0 stays empty; column 256 ("IV") has no entry.

#include <QString>
#include <array>

namespace korvane {

constexpr int kColumnLetterEntries = 256;

extern std::array<QString, kColumnLetterEntries> ColumnLetters;

// Fills entries 1 to 255; the main window's load calls it once.
void BuildColumnLetters();

}  // namespace korvane
