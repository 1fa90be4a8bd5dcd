#pragma once
// Sizes and places are designed in twips (1/1440 inch); every conversion to pixels goes through
// here and follows the logical DPI of the screen the widget is on.

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace korvane {

// Logical DPI of the screen of `widget` (or of the primary screen when it is null).
double logicalDpi(const QWidget* widget);
int twipsToPixels(double twips, const QWidget* widget);
double pixelsToTwips(int pixels, const QWidget* widget);
QRect twipsRect(double left, double top, double width, double height, const QWidget* widget);
QSize twipsSize(double width, double height, const QWidget* widget);

}  // namespace korvane
