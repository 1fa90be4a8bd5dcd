#pragma once
// The records korvane-cli prints: one a line, UTF-8, fields separated by TAB, with backslash,
// TAB, LF and CR escaped inside fields.

#include <QString>
#include <QStringList>

namespace korvane {
class TreePane;
class ListPane;
}  // namespace korvane

namespace korvane::cli {

QString escapeField(const QString& field);
// Writes one record to stdout; `flush` makes messages appear the moment they are shown.
void printRecord(const QStringList& fields, bool flush = true);
// The tree's nodes in display order.
void printTree(const TreePane& tree);
// The tree, the column headers and the rows (or their count when `summary`).
void printPanes(const TreePane& tree, const ListPane& list, bool summary);

}  // namespace korvane::cli
