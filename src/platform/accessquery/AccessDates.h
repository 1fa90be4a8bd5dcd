#pragma once
// OLE automation dates (days since 1899-12-30, the fraction the time of day) and the date texts
// of Access: #m/d/yyyy# literals, yyyy/mm/dd and yyyy-mm-dd texts, times with AM/PM.

#include <QStringView>
#include <optional>

namespace korvane {

struct DateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

// Serial of a calendar date and time; std::nullopt for an impossible date (2/30) or a year
// outside 100..9999.
std::optional<double> oleSerial(const DateParts& parts);

// Calendar date and time of a serial (rounded to the second); std::nullopt out of range.
std::optional<DateParts> oleParts(double serial);

// Reads a date and/or time text. A first number of four digits means year/month/day, otherwise
// month/day/year (the order of Access's # literals); two-digit years 0-29 mean 2000-2029.
std::optional<double> parseDateText(QStringView text);

}  // namespace korvane
