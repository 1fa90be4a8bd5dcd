#pragma once
// The Excel loader: the sheet catalogue, the display-range dialog, then the chosen rectangle of
// cells of one sheet, read cell by cell, in the panes.

#include <QString>

namespace korvane {

class TreePane;
class ListPane;

void LoadWorkbook(const QString& path, TreePane& treePane, ListPane& listPane);

}  // namespace korvane
