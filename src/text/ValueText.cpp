#include "text/ValueText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

namespace korvane {

namespace {

void appendDecimal(std::string& out, int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

// A buffer for the text of one value, kept from call to call so that a value needs no memory of
// its own before it becomes a QString.
std::string& scratch() {
    thread_local std::string text;
    text.clear();
    return text;
}

QString latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Magnitudes at or beyond this, or below kSmallestPlain, are written in exponent form.
constexpr double kExponentFrom = 1e15;
constexpr double kSmallestPlain = 1e-5;

constexpr int64_t kSecondsPerDay = 86400;
// OLE automation dates run from 0100-01-01 to 9999-12-31.
constexpr double kFirstOleDay = -657434;
constexpr double kLastOleDay = 2958465;

// "1.5E-07": mantissa digits as given, "E", the sign, at least two exponent digits.
void appendExponentForm(std::string& out, bool negative, std::string_view digits, int exponent) {
    if (negative) {
        out += '-';
    }
    out += digits[0];
    if (digits.size() > 1) {
        out += '.';
        out.append(digits.substr(1));
    }
    out += exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) {
        out += '0';
    }
    appendDecimal(out, magnitude);
}

// The significant digits placed around the decimal point: value = 0.d1d2... * 10^(exponent+1).
void appendPlainForm(std::string& out, bool negative, std::string_view digits, int exponent) {
    if (negative) {
        out += '-';
    }
    const int digitCount = static_cast<int>(digits.size());
    if (exponent < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out.append(digits);
    } else if (exponent + 1 >= digitCount) {
        out.append(digits);
        out.append(static_cast<size_t>(exponent + 1 - digitCount), '0');
    } else {
        out.append(digits.substr(0, static_cast<size_t>(exponent + 1)));
        out += '.';
        out.append(digits.substr(static_cast<size_t>(exponent + 1)));
    }
}

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's civil_from_days).
struct CivilDate {
    int64_t year;
    unsigned month;
    unsigned day;
};

CivilDate civilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const unsigned month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const int64_t year = static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

void appendPadded(std::string& out, int64_t number, int width) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    const auto size = static_cast<int>(result.ptr - digits);
    if (size < width) {
        out.append(static_cast<size_t>(width - size), '0');
    }
    out.append(digits, result.ptr);
}

int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

void AppendIntegerText(std::string& out, int64_t value) {
    appendDecimal(out, value);
}

QString IntegerText(int64_t value) {
    return QString::number(value);
}

void AppendDoubleText(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-Infinity" : "Infinity";
        return;
    }
    if (value == 0) {
        out += '0';  // negative zero too
        return;
    }
    // Shortest round-trip digits in scientific form, e.g. "1.5e-07", then placed ourselves.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const bool negative = buffer[0] == '-';
    char digits[32];
    size_t digitCount = 0;
    const char* p = buffer + (negative ? 1 : 0);
    for (; p < result.ptr && *p != 'e'; ++p) {
        if (*p != '.' && digitCount < sizeof digits) {
            digits[digitCount++] = *p;
        }
    }
    int exponent = 0;
    if (p < result.ptr) {
        const char* e = p + 1;
        if (e < result.ptr && *e == '+') {
            ++e;
        }
        std::from_chars(e, result.ptr, exponent);
    }
    const std::string_view digitView(digits, digitCount);
    const double magnitude = std::fabs(value);
    if (magnitude >= kExponentFrom || magnitude < kSmallestPlain) {
        appendExponentForm(out, negative, digitView, exponent);
    } else {
        appendPlainForm(out, negative, digitView, exponent);
    }
}

QString DoubleText(double value) {
    std::string& text = scratch();
    AppendDoubleText(text, value);
    return latin1(text);
}

void AppendFixedPointText(std::string& out, bool negative, unsigned __int128 magnitude, int scale) {
    // The digits, least significant first.
    char reversed[64];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0 && count < static_cast<int>(sizeof reversed));
    if (count == 1 && reversed[0] == '0') {
        out += '0';  // no "-0"
        return;
    }
    if (negative) {
        out += '-';
    }
    if (scale <= 0) {
        for (int i = count - 1; i >= 0; --i) {
            out += reversed[i];
        }
        out.append(static_cast<size_t>(-scale), '0');
        return;
    }
    // Trailing zeros of the fraction are dropped.
    int fractionEnd = 0;  // index in `reversed` of the last fraction digit kept, from the right
    while (fractionEnd < scale && fractionEnd < count && reversed[fractionEnd] == '0') {
        ++fractionEnd;
    }
    if (count <= scale) {
        out += '0';
    } else {
        for (int i = count - 1; i >= scale; --i) {
            out += reversed[i];
        }
    }
    if (fractionEnd < scale) {
        out += '.';
        for (int i = scale - 1; i >= fractionEnd; --i) {
            out += i < count ? reversed[i] : '0';
        }
    }
}

QString FixedPointText(bool negative, unsigned __int128 magnitude, int scale) {
    std::string& text = scratch();
    AppendFixedPointText(text, negative, magnitude, scale);
    return latin1(text);
}

void AppendCurrencyText(std::string& out, int64_t tenThousandths) {
    const bool negative = tenThousandths < 0;
    // Negate in unsigned arithmetic so the most negative amount has a magnitude too.
    const unsigned __int128 magnitude =
        negative ? static_cast<unsigned __int128>(-(tenThousandths + 1)) + 1
                 : static_cast<unsigned __int128>(tenThousandths);
    AppendFixedPointText(out, negative, magnitude, 4);
}

QString CurrencyText(int64_t tenThousandths) {
    std::string& text = scratch();
    AppendCurrencyText(text, tenThousandths);
    return latin1(text);
}

void AppendOleDateText(std::string& out, double serial) {
    // Outside the dates the format can hold (or not a number at all) the value is shown as the
    // number it is, rather than as an invented date.
    if (!std::isfinite(serial) || serial < kFirstOleDay - 1 || serial > kLastOleDay + 1) {
        AppendDoubleText(out, serial);
        return;
    }

    // The whole part counts days from 1899-12-30 (backwards when negative); the fraction is the
    // time on that day whatever the sign, so -1.25 is 1899-12-29 06:00.
    const double wholeDays = std::trunc(serial);
    const double timeFraction = std::fabs(serial - wholeDays);
    const int64_t moment = static_cast<int64_t>(wholeDays) * kSecondsPerDay +
                           std::llround(timeFraction * kSecondsPerDay);
    const int64_t day = floorDiv(moment, kSecondsPerDay);
    AppendOleMomentText(out, day, moment - day * kSecondsPerDay);
}

QString OleDateText(double serial) {
    std::string& text = scratch();
    AppendOleDateText(text, serial);
    return latin1(text);
}

void AppendOleMomentText(std::string& out, int64_t day, int64_t secondOfDay) {
    // Day 0 is 1899-12-30, which stands for "no date": only the time is written.
    if (day != 0) {
        constexpr int64_t kOleEpochFromUnixEpoch = -25569;
        const CivilDate date = civilFromDays(day + kOleEpochFromUnixEpoch);
        appendPadded(out, date.year, 4);
        out += '/';
        appendPadded(out, date.month, 2);
        out += '/';
        appendPadded(out, date.day, 2);
        if (secondOfDay == 0) {
            return;
        }
        out += ' ';
    }
    appendPadded(out, secondOfDay / 3600, 2);
    out += ':';
    appendPadded(out, secondOfDay / 60 % 60, 2);
    out += ':';
    appendPadded(out, secondOfDay % 60, 2);
}

QString OleMomentText(int64_t day, int64_t secondOfDay) {
    std::string& text = scratch();
    AppendOleMomentText(text, day, secondOfDay);
    return latin1(text);
}

QString BooleanText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

}  // namespace korvane
