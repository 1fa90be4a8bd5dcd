#pragma once
// File > Convert: writes one table or select query of the open database to a CSV file.

#include <QString>
#include <functional>
#include <optional>

namespace korvane {

// What the export target dialog hands back after OK.
struct ExportTarget {
    QString outputFilename;
    QString selectTable;
    bool isTitle = false;
};

// Shows the export target dialog; nothing when it was cancelled. The forms library registers
// the real dialog at start-up (the command itself knows no widgets); tests put in their own.
using ExportTargetChooser = std::function<std::optional<ExportTarget>()>;
void setExportTargetChooser(ExportTargetChooser chooser);

// Returns true when a file was written; every outcome has been shown to the user.
bool ConvertCommand();

}  // namespace korvane
