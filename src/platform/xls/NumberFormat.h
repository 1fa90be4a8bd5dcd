#pragma once
// Whether a cell's number format shows its number as a date or a time: Excel stores dates as
// serial numbers, and only the format tells them from other numbers.

#include <QStringView>

namespace korvane::xls {

// The built-in formats that show dates or times: 14-22 and 45-47 everywhere, and 27-36 and
// 50-58, which the East Asian editions of Excel (Japanese among them) fill with era and
// year-month-day forms.
bool isBuiltInDateFormat(int formatIndex);

// A format code with a year, month, day, hour, minute or second token outside quoted text,
// escapes and bracketed sections ([h], [m], [s] elapsed times do count).
bool isDateFormatCode(QStringView code);

}  // namespace korvane::xls
