#pragma once
// File > Convert: writes one table or select query of the open database to a CSV file.

namespace korvane {

void ConvertCommand();

}  // namespace korvane
