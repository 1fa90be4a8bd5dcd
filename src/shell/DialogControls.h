#pragma once
// Building blocks of the program's dialogs: controls named and placed in twips, and the one
// selected line of a single-selection list.

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

// The 0-based position of the selected line, or -1 when no line is selected.
inline int selectedLine(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.constFirst());
}

}  // namespace korvane
