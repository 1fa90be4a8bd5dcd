#pragma once
// The program's name and version: what the About window shows and `korvane-cli --version`
// prints. The version is the project's own, set once in the top CMakeLists.txt.

#include <QString>

namespace korvane {

QString programName();     // "Korvane"
QString programVersion();  // "1.0.0"

}  // namespace korvane
