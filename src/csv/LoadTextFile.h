#pragma once
// The loader of CSV and TXT files.

#include <QString>

namespace korvane {

class TreePane;
class ListPane;

// Asks for the display range, then shows the chosen lines in the panes.
void LoadTextFile(const QString& path, TreePane& tree, ListPane& list);

}  // namespace korvane
