#pragma once
// The loader of Access databases: catalogue, display-range dialog, then the tables and queries
// in the tree pane and the chosen object's records in the list pane.

#include <QString>

namespace korvane {

class TreePane;
class ListPane;

void LoadDatabase(const QString& path, TreePane& treePane, ListPane& listPane);

}  // namespace korvane
