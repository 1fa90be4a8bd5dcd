#pragma once
// The text forms of values, one module for the list pane and the export alike. Independent of
// the user's locale.

#include <QString>
#include <cstdint>
#include <string>

namespace korvane {

// "12", "-3"
QString IntegerText(int64_t value);

// Shortest text that reads back to the same double: "0.1", "-3.5", "0.3333333333333333";
// exponent form at or beyond 1E15 or below 1E-5 in magnitude: "1E+20", "1.5E-07".
QString DoubleText(double value);

// Fixed-point value magnitude / 10^scale with its digits and no trailing zeros:
// "1234.5", "-0.0001", "0".
QString FixedPointText(bool negative, unsigned __int128 magnitude, int scale);

// Currency stored as a 64-bit count of ten-thousandths.
QString CurrencyText(int64_t tenThousandths);

// An OLE automation date (days since 1899-12-30, the fraction is the time of day):
// "yyyy/mm/dd hh:nn:ss", "yyyy/mm/dd" without a time, "hh:nn:ss" on the day 1899/12/30.
QString OleDateText(double serial);
// The same form for a moment already split into a day (days since 1899-12-30) and a second of
// that day (0 to 86399).
QString OleMomentText(int64_t day, int64_t secondOfDay);

// "True" / "False"
QString BooleanText(bool value);

// The same forms as ASCII bytes appended to `out`, for writers that need bytes rather than text.
void AppendIntegerText(std::string& out, int64_t value);
void AppendDoubleText(std::string& out, double value);
void AppendFixedPointText(std::string& out, bool negative, unsigned __int128 magnitude, int scale);
void AppendCurrencyText(std::string& out, int64_t tenThousandths);
void AppendOleDateText(std::string& out, double serial);
void AppendOleMomentText(std::string& out, int64_t day, int64_t secondOfDay);

}  // namespace korvane
