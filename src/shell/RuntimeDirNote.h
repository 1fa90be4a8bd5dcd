#pragma once
// Keeps Qt's note about a missing XDG_RUNTIME_DIR off stderr. Call before the QApplication is
// made: the note comes while the platform plugin loads.

namespace korvane {

void hideMissingRuntimeDirNote();

}  // namespace korvane
