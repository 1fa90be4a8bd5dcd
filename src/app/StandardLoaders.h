#pragma once

namespace korvane {

// Registers LoadTextFile, LoadWorkbook and LoadDatabase with the open dispatch.
void registerStandardLoaders();

}  // namespace korvane
