#include "text/Numbers.h"

#include <cmath>

namespace korvane {
// Placeholder bodies, replaced by the real helpers.
QString NumberText(int64_t number) {
    return number < 0 ? QString::number(number) : QStringLiteral(" ") + QString::number(number);
}
double Val(QStringView text) { return text.toDouble(); }
double RoundHalfEven(double value) { return std::nearbyint(value); }
}  // namespace korvane
