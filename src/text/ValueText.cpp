#include "text/ValueText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace korvane {

namespace {

// Magnitudes at or beyond this, or below kSmallestPlain, are written in exponent form.
constexpr double kExponentFrom = 1e15;
constexpr double kSmallestPlain = 1e-5;

constexpr int64_t kSecondsPerDay = 86400;
// OLE automation dates run from 0100-01-01 to 9999-12-31.
constexpr double kFirstOleDay = -657434;
constexpr double kLastOleDay = 2958465;

// "1.5E-07": mantissa digits as given, "E", the sign, at least two exponent digits.
QString exponentForm(bool negative, const std::string& digits, int exponent) {
    std::string text = negative ? "-" : "";
    text += digits[0];
    if (digits.size() > 1) {
        text += '.';
        text.append(digits, 1, std::string::npos);
    }
    text += exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) {
        text += '0';
    }
    text += std::to_string(magnitude);
    return QString::fromStdString(text);
}

// The significant digits placed around the decimal point: value = 0.d1d2... * 10^(exponent+1).
QString plainForm(bool negative, const std::string& digits, int exponent) {
    std::string text = negative ? "-" : "";
    const int digitCount = static_cast<int>(digits.size());
    if (exponent < 0) {
        text += "0.";
        text.append(static_cast<size_t>(-exponent - 1), '0');
        text += digits;
    } else if (exponent + 1 >= digitCount) {
        text += digits;
        text.append(static_cast<size_t>(exponent + 1 - digitCount), '0');
    } else {
        text.append(digits, 0, static_cast<size_t>(exponent + 1));
        text += '.';
        text.append(digits, static_cast<size_t>(exponent + 1), std::string::npos);
    }
    return QString::fromStdString(text);
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

void appendPadded(std::string& text, int64_t number, int width) {
    const std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < width) {
        text.append(static_cast<size_t>(width) - digits.size(), '0');
    }
    text += digits;
}

int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

QString IntegerText(int64_t value) {
    return QString::number(value);
}

QString DoubleText(double value) {
    if (std::isnan(value)) {
        return QStringLiteral("NaN");
    }
    if (std::isinf(value)) {
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    }
    if (value == 0) {
        return QStringLiteral("0");  // negative zero too
    }

    // Shortest round-trip digits in scientific form, e.g. "1.5e-07", then placed ourselves.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string scientific(buffer, result.ptr);
    const bool negative = scientific[0] == '-';
    const size_t mantissaStart = negative ? 1 : 0;
    const size_t exponentMark = scientific.find('e');
    std::string digits;
    for (size_t i = mantissaStart; i < exponentMark; ++i) {
        if (scientific[i] != '.') {
            digits += scientific[i];
        }
    }
    const int exponent = std::stoi(scientific.substr(exponentMark + 1));

    const double magnitude = std::fabs(value);
    if (magnitude >= kExponentFrom || magnitude < kSmallestPlain) {
        return exponentForm(negative, digits, exponent);
    }
    return plainForm(negative, digits, exponent);
}

QString FixedPointText(bool negative, unsigned __int128 magnitude, int scale) {
    std::string digits;
    do {
        digits += static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    std::string integerPart(digits.rbegin(), digits.rend());
    if (integerPart == "0") {
        return QStringLiteral("0");  // no "-0"
    }

    std::string fraction;
    if (scale < 0) {
        integerPart.append(static_cast<size_t>(-scale), '0');
    } else if (scale > 0) {
        if (static_cast<int>(integerPart.size()) <= scale) {
            integerPart.insert(0, static_cast<size_t>(scale) + 1 - integerPart.size(), '0');
        }
        fraction = integerPart.substr(integerPart.size() - static_cast<size_t>(scale));
        integerPart.resize(integerPart.size() - static_cast<size_t>(scale));
        while (!fraction.empty() && fraction.back() == '0') {
            fraction.pop_back();
        }
    }

    std::string text = negative ? "-" : "";
    text += integerPart;
    if (!fraction.empty()) {
        text += '.';
        text += fraction;
    }
    return QString::fromStdString(text);
}

QString CurrencyText(int64_t tenThousandths) {
    const bool negative = tenThousandths < 0;
    // Negate in unsigned arithmetic so the most negative amount has a magnitude too.
    const unsigned __int128 magnitude =
        negative ? static_cast<unsigned __int128>(-(tenThousandths + 1)) + 1
                 : static_cast<unsigned __int128>(tenThousandths);
    return FixedPointText(negative, magnitude, 4);
}

QString OleDateText(double serial) {
    // Outside the dates the format can hold (or not a number at all) the value is shown as the
    // number it is, rather than as an invented date.
    if (!std::isfinite(serial) || serial < kFirstOleDay - 1 || serial > kLastOleDay + 1) {
        return DoubleText(serial);
    }

    // The whole part counts days from 1899-12-30 (backwards when negative); the fraction is the
    // time on that day whatever the sign, so -1.25 is 1899-12-29 06:00.
    const double wholeDays = std::trunc(serial);
    const double timeFraction = std::fabs(serial - wholeDays);
    const int64_t moment = static_cast<int64_t>(wholeDays) * kSecondsPerDay +
                           std::llround(timeFraction * kSecondsPerDay);
    const int64_t day = floorDiv(moment, kSecondsPerDay);
    return OleMomentText(day, moment - day * kSecondsPerDay);
}

QString OleMomentText(int64_t day, int64_t secondOfDay) {
    std::string text;
    // Day 0 is 1899-12-30, which stands for "no date": only the time is written.
    if (day != 0) {
        constexpr int64_t kOleEpochFromUnixEpoch = -25569;
        const CivilDate date = civilFromDays(day + kOleEpochFromUnixEpoch);
        appendPadded(text, date.year, 4);
        text += '/';
        appendPadded(text, date.month, 2);
        text += '/';
        appendPadded(text, date.day, 2);
        if (secondOfDay == 0) {
            return QString::fromStdString(text);
        }
        text += ' ';
    }
    appendPadded(text, secondOfDay / 3600, 2);
    text += ':';
    appendPadded(text, secondOfDay / 60 % 60, 2);
    text += ':';
    appendPadded(text, secondOfDay % 60, 2);
    return QString::fromStdString(text);
}

QString BooleanText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

}  // namespace korvane
