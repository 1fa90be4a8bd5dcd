// Access's date functions on OLE automation dates (days since 1899-12-30; before that day the
// fraction still counts forward from midnight).

#include <QDateTime>
#include <cmath>

#include "platform/accessquery/AccessDates.h"
#include "platform/accessquery/QueryFault.h"
#include "platform/accessquery/SqlArgs.h"
#include "platform/accessquery/SqlFunctions.h"

namespace korvane {

namespace {

constexpr int64_t kSecondsPerDay = 86400;
const int64_t kEpochJulian = QDate(1899, 12, 30).toJulianDay();

// A moment as whole seconds on a straight time line, so differences and additions need no
// care for the odd serials before 1899-12-30.
struct Moment {
    QDate date;
    int64_t secondOfDay = 0;
    int64_t absolute() const { return date.toJulianDay() * kSecondsPerDay + secondOfDay; }
};

std::optional<Moment> momentOf(double serial) {
    const auto parts = oleParts(serial);
    if (!parts) {
        return std::nullopt;
    }
    return Moment{QDate(parts->year, parts->month, parts->day),
                  parts->hour * 3600 + parts->minute * 60 + parts->second};
}

std::optional<double> serialOf(const QDate& date, int64_t secondOfDay) {
    if (!date.isValid()) {
        return std::nullopt;
    }
    DateParts parts{date.year(),
                    date.month(),
                    date.day(),
                    static_cast<int>(secondOfDay / 3600),
                    static_cast<int>(secondOfDay / 60 % 60),
                    static_cast<int>(secondOfDay % 60)};
    return oleSerial(parts);
}

std::optional<double> serialOfAbsolute(int64_t absolute) {
    const int64_t day = absolute >= 0 ? absolute / kSecondsPerDay
                                      : -((-absolute + kSecondsPerDay - 1) / kSecondsPerDay);
    return serialOf(QDate::fromJulianDay(day), absolute - day * kSecondsPerDay);
}

void resultSerial(sqlite3_context* ctx, std::optional<double> serial, const char* fn) {
    if (!serial) {
        return resultError(ctx, Failure(QueryFault::DateOutOfRange, {QString::fromLatin1(fn)}));
    }
    sqlite3_result_double(ctx, *serial);
}

// Reads a date argument; false when the result is already set (Null or an error).
bool dateArg(sqlite3_context* ctx, sqlite3_value* value, const char* fn, Moment& out) {
    bool mismatch = false;
    const auto serial = argDate(value, mismatch);
    if (mismatch) {
        resultTypeMismatch(ctx, fn);
        return false;
    }
    if (!serial) {
        sqlite3_result_null(ctx);
        return false;
    }
    const auto moment = momentOf(*serial);
    if (!moment) {
        resultError(ctx, Failure(QueryFault::DateOutOfRange, {QString::fromLatin1(fn)}));
        return false;
    }
    out = *moment;
    return true;
}

bool wholeArg(sqlite3_context* ctx, sqlite3_value* value, const char* fn, int64_t& out) {
    bool mismatch = false;
    const auto whole = argWhole(value, mismatch);
    if (mismatch || (whole && std::llabs(*whole) > 100000000)) {
        resultTypeMismatch(ctx, fn);
        return false;
    }
    if (!whole) {
        sqlite3_result_null(ctx);
        return false;
    }
    out = *whole;
    return true;
}

enum class Part { Year, Month, Day, Hour, Minute, Second, Weekday };

template <Part P>
void datePart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    Moment m;
    if (!dateArg(ctx, argv[0], "Year/Month/Day", m)) {
        return;
    }
    int64_t value = 0;
    switch (P) {
        case Part::Year:
            value = m.date.year();
            break;
        case Part::Month:
            value = m.date.month();
            break;
        case Part::Day:
            value = m.date.day();
            break;
        case Part::Hour:
            value = m.secondOfDay / 3600;
            break;
        case Part::Minute:
            value = m.secondOfDay / 60 % 60;
            break;
        case Part::Second:
            value = m.secondOfDay % 60;
            break;
        case Part::Weekday:
            value = m.date.dayOfWeek() % 7 + 1;  // Sunday is 1
            break;
    }
    sqlite3_result_int64(ctx, value);
}

Moment now() {
    const QDateTime current = QDateTime::currentDateTime();
    return {current.date(), current.time().msecsSinceStartOfDay() / 1000};
}

void akToday(sqlite3_context* ctx, int, sqlite3_value**) {
    resultSerial(ctx, serialOf(now().date, 0), "Date");
}
void akNow(sqlite3_context* ctx, int, sqlite3_value**) {
    const Moment m = now();
    resultSerial(ctx, serialOf(m.date, m.secondOfDay), "Now");
}
void akTimeNow(sqlite3_context* ctx, int, sqlite3_value**) {
    sqlite3_result_double(ctx, static_cast<double>(now().secondOfDay) / kSecondsPerDay);
}

int fullYear(int64_t year) {
    if (year >= 0 && year < 30) {
        return static_cast<int>(year + 2000);
    }
    if (year >= 30 && year < 100) {
        return static_cast<int>(year + 1900);
    }
    return static_cast<int>(year);
}

// DateSerial lets months and days run over: DateSerial(2024, 14, 0) is 2025-01-31.
void akDateSerial(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int64_t year = 0, month = 0, day = 0;
    if (!wholeArg(ctx, argv[0], "DateSerial", year) ||
        !wholeArg(ctx, argv[1], "DateSerial", month) ||
        !wholeArg(ctx, argv[2], "DateSerial", day)) {
        return;
    }
    const int64_t months = static_cast<int64_t>(fullYear(year)) * 12 + (month - 1);
    const int64_t y = months >= 0 ? months / 12 : -((-months + 11) / 12);
    const QDate first(static_cast<int>(y), static_cast<int>(months - y * 12 + 1), 1);
    resultSerial(ctx, serialOf(first.addDays(day - 1), 0), "DateSerial");
}

void akTimeSerial(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int64_t h = 0, m = 0, s = 0;
    if (!wholeArg(ctx, argv[0], "TimeSerial", h) || !wholeArg(ctx, argv[1], "TimeSerial", m) ||
        !wholeArg(ctx, argv[2], "TimeSerial", s)) {
        return;
    }
    const int64_t seconds = h * 3600 + m * 60 + s;
    resultSerial(ctx, serialOfAbsolute(kEpochJulian * kSecondsPerDay + seconds), "TimeSerial");
}

QString intervalOf(sqlite3_value* value) {
    return valueAsText(value, 0).trimmed().toLower();
}

QDate addMonths(const QDate& date, int64_t months) {
    if (std::llabs(months) > 12 * 10000) {
        return QDate();
    }
    return date.addMonths(static_cast<int>(months));  // clamps the day to the month's end
}

void akDateAdd(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int64_t n = 0;
    Moment m;
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        return resultError(ctx, Failure(QueryFault::DateAddUnitNull));
    }
    if (!wholeArg(ctx, argv[1], "DateAdd", n) || !dateArg(ctx, argv[2], "DateAdd", m)) {
        return;
    }
    const QString unit = intervalOf(argv[0]);
    int64_t seconds = 0;
    if (unit == QLatin1String("yyyy")) {
        return resultSerial(ctx, serialOf(addMonths(m.date, n * 12), m.secondOfDay), "DateAdd");
    } else if (unit == QLatin1String("q")) {
        return resultSerial(ctx, serialOf(addMonths(m.date, n * 3), m.secondOfDay), "DateAdd");
    } else if (unit == QLatin1String("m")) {
        return resultSerial(ctx, serialOf(addMonths(m.date, n), m.secondOfDay), "DateAdd");
    } else if (unit == QLatin1String("y") || unit == QLatin1String("d") ||
               unit == QLatin1String("w")) {
        seconds = n * kSecondsPerDay;
    } else if (unit == QLatin1String("ww")) {
        seconds = n * 7 * kSecondsPerDay;
    } else if (unit == QLatin1String("h")) {
        seconds = n * 3600;
    } else if (unit == QLatin1String("n")) {
        seconds = n * 60;
    } else if (unit == QLatin1String("s")) {
        seconds = n;
    } else {
        return resultError(ctx, Failure(QueryFault::DateAddUnit, {unit}));
    }
    resultSerial(ctx, serialOfAbsolute(m.absolute() + seconds), "DateAdd");
}

int64_t floorDiv(int64_t a, int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// DateDiff counts the boundaries crossed between the two moments: DateDiff("yyyy",
// #12/31/2023#, #1/1/2024#) is 1.
void akDateDiff(sqlite3_context* ctx, int, sqlite3_value** argv) {
    Moment a, b;
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        return resultError(ctx, Failure(QueryFault::DateDiffUnitNull));
    }
    if (!dateArg(ctx, argv[1], "DateDiff", a) || !dateArg(ctx, argv[2], "DateDiff", b)) {
        return;
    }
    const QString unit = intervalOf(argv[0]);
    const int64_t days = b.date.toJulianDay() - a.date.toJulianDay();
    int64_t result = 0;
    if (unit == QLatin1String("yyyy")) {
        result = b.date.year() - a.date.year();
    } else if (unit == QLatin1String("q")) {
        result = (b.date.year() * 4 + (b.date.month() - 1) / 3) -
                 (a.date.year() * 4 + (a.date.month() - 1) / 3);
    } else if (unit == QLatin1String("m")) {
        result = (b.date.year() * 12 + b.date.month()) - (a.date.year() * 12 + a.date.month());
    } else if (unit == QLatin1String("y") || unit == QLatin1String("d")) {
        result = days;
    } else if (unit == QLatin1String("w")) {
        result = days / 7;
    } else if (unit == QLatin1String("ww")) {
        // Sundays crossed: compare the Sundays that begin each moment's week.
        const int64_t weekA = a.date.toJulianDay() - a.date.dayOfWeek() % 7;
        const int64_t weekB = b.date.toJulianDay() - b.date.dayOfWeek() % 7;
        result = (weekB - weekA) / 7;
    } else if (unit == QLatin1String("h")) {
        result = floorDiv(b.absolute(), 3600) - floorDiv(a.absolute(), 3600);
    } else if (unit == QLatin1String("n")) {
        result = floorDiv(b.absolute(), 60) - floorDiv(a.absolute(), 60);
    } else if (unit == QLatin1String("s")) {
        result = b.absolute() - a.absolute();
    } else {
        return resultError(ctx, Failure(QueryFault::DateDiffUnit, {unit}));
    }
    sqlite3_result_int64(ctx, result);
}

void akCDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
    bool mismatch = false;
    const auto serial = argDate(argv[0], mismatch);
    if (mismatch) {
        return resultTypeMismatch(ctx, "CDate");
    }
    if (!serial) {
        return sqlite3_result_null(ctx);
    }
    if (!oleParts(*serial)) {
        return resultError(ctx, Failure(QueryFault::CDateOutOfRange));
    }
    sqlite3_result_double(ctx, *serial);
}

const SqlFunctionDef kDateFunctions[] = {
    {"ak_year", 1, datePart<Part::Year>, true},
    {"ak_month", 1, datePart<Part::Month>, true},
    {"ak_day", 1, datePart<Part::Day>, true},
    {"ak_hour", 1, datePart<Part::Hour>, true},
    {"ak_minute", 1, datePart<Part::Minute>, true},
    {"ak_second", 1, datePart<Part::Second>, true},
    {"ak_weekday", 1, datePart<Part::Weekday>, true},
    {"ak_today", 0, akToday, false},
    {"ak_now", 0, akNow, false},
    {"ak_timenow", 0, akTimeNow, false},
    {"ak_dateserial", 3, akDateSerial, true},
    {"ak_timeserial", 3, akTimeSerial, true},
    {"ak_dateadd", 3, akDateAdd, true},
    {"ak_datediff", 3, akDateDiff, true},
    {"ak_cdate", 1, akCDate, true},
};

}  // namespace

const SqlFunctionDef* dateFunctions(int& count) {
    count = static_cast<int>(std::size(kDateFunctions));
    return kDateFunctions;
}

}  // namespace korvane
