#pragma once
// The number-to-text form of the panes and the numeric reading of typed text.

#include <QString>
#include <QStringView>
#include <cstdint>

namespace korvane {

// A number as pane text: one leading space where a minus sign would stand (" 1", "-1").
QString NumberText(int64_t number);

// Reads the leading number of a text the way the dialogs read typed numbers: blanks, tabs and
// line feeds ignored wherever they stand, optional sign, digits, decimal point, exponent,
// &H / &O prefixes; stops at the first character that cannot continue the number; 0 when there
// is none. The result is wide (double) so callers can tell out-of-range numbers apart.
double Val(QStringView text);

// Rounds to the nearest integer, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

}  // namespace korvane
