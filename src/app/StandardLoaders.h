#pragma once

namespace korvane {

// Registers LoadTextFile, LoadWorkbook and LoadDatabase with the open dispatch, and the
// window's commands that belong to an area (File > Convert, the column letters).
void registerStandardLoaders();

}  // namespace korvane
