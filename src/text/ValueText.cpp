#include "text/ValueText.h"

namespace korvane {
// Placeholder bodies, replaced by the real helpers.
QString IntegerText(int64_t value) { return QString::number(value); }
QString DoubleText(double value) { return QString::number(value); }
QString FixedPointText(bool, unsigned __int128, int) { return {}; }
QString CurrencyText(int64_t) { return {}; }
QString OleDateText(double) { return {}; }
QString BooleanText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }
}  // namespace korvane
