#pragma once
// Building blocks of the program's dialogs: controls named and placed in twips, lists filled
// from the program's name collections, and the one selected line of a single-selection list.

#include <QListWidget>
#include <QWidget>

#include "platform/Twips.h"

namespace korvane {

// Names `widget` (tests and scripted answers find controls by name) and places it in twips.
template <typename Widget>
Widget* placeControl(Widget* widget, const char* name, double left, double top, double width,
                     double height) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(twipsRect(left, top, width, height, widget->parentWidget()));
    return widget;
}

// A new control of `parent`, named and placed in twips.
template <typename Widget>
Widget* newControl(QWidget* parent, const char* name, double left, double top, double width,
                   double height) {
    return placeControl(new Widget(parent), name, left, top, width, height);
}

// A new control with its caption (a label, button, option button or check box).
template <typename Widget>
Widget* newCaptioned(QWidget* parent, const char* name, const QString& caption, double left,
                     double top, double width, double height) {
    Widget* widget = newControl<Widget>(parent, name, left, top, width, height);
    widget->setText(caption);
    return widget;
}

// A single-selection, unsorted list (a line's position maps back to the collection entry at
// the same position), placed in twips.
inline QListWidget* newNameList(QWidget* parent, const char* name, double left, double top,
                                double width, double height) {
    auto* list = newControl<QListWidget>(parent, name, left, top, width, height);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    return list;
}

// Empties `list`, adds every name in order and leaves no line selected or current.
inline void fillUnselected(QListWidget& list, const QStringList& names) {
    list.clear();
    list.addItems(names);
    list.clearSelection();
    list.setCurrentRow(-1);
}

// The 0-based position of the selected line, or -1 when no line is selected.
inline int selectedLine(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.constFirst());
}

}  // namespace korvane
