#pragma once
// Captions that fit their controls. The forms are drawn in twips for a font the platform no
// longer has; here the dialog font is chosen from the Japanese fonts installed, and a control
// whose text still runs wider than the control grows to the right by the least that shows the
// text whole, never over a neighbour.

#include <QFont>
#include <QString>

class QLineEdit;
class QWidget;

namespace korvane {

// The forms' font: Noto Sans CJK JP when installed, else the desktop's default font when it
// has Japanese, else the first font that has; 9 points.
QFont DialogFont();

// A number box shows at least `digits` digits whole (its widest number).
void setWidestNumber(QLineEdit& box, int digits);
// The text the box must show whole: its widest number, or its text when that is wider.
QString widestText(const QLineEdit& box);

// The width `control` needs to show its caption (or a number box its widest number) whole;
// 0 for controls without such a text (lists, pictures, labels that wrap).
int captionWidth(const QWidget& control);

// The width a window needs to show its title whole in the desktop's title bar: the title in a
// bold, somewhat larger face than the dialogs', and room for the bar's icon and buttons.
int TitleBarWidth(const QWidget& window);

// Grows every control of `form` whose caption does not fit, as far as its neighbours and the
// edge of its parent allow.
void FitCaptions(QWidget& form);

}  // namespace korvane
