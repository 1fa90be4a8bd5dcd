#pragma once
// What the main window runs that belongs to an area: File > Convert (the export) and the step
// of its load that builds the column-letter table (the workbook side). The shell knows neither
// area; the application wires them in where it registers the loaders.

#include <functional>

namespace korvane {

struct AreaCommands {
    std::function<void()> convert;  // File > Convert, toolbar "convert"
    std::function<void()> load;     // the window's load, once the program state is ready
};

// Replaces the commands; empty ones do nothing when the window runs them.
void setAreaCommands(AreaCommands commands);
const AreaCommands& areaCommands();

}  // namespace korvane
