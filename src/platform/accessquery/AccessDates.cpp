#include "platform/accessquery/AccessDates.h"

#include <QDate>
#include <QRegularExpression>
#include <cmath>

namespace korvane {

namespace {

const qint64 kEpochJulian = QDate(1899, 12, 30).toJulianDay();

}  // namespace

std::optional<double> oleSerial(const DateParts& p) {
    if (p.year < 100 || p.year > 9999 || !QDate::isValid(p.year, p.month, p.day) || p.hour < 0 ||
        p.hour > 23 || p.minute < 0 || p.minute > 59 || p.second < 0 || p.second > 59) {
        return std::nullopt;
    }
    const double days =
        static_cast<double>(QDate(p.year, p.month, p.day).toJulianDay() - kEpochJulian);
    const double time = (p.hour * 3600 + p.minute * 60 + p.second) / 86400.0;
    // Before the epoch the fraction still counts forward from midnight: -1.25 is 1899-12-29 06:00.
    return days >= 0 ? days + time : days - time;
}

std::optional<DateParts> oleParts(double serial) {
    if (!std::isfinite(serial) || serial < -657434.0 || serial >= 2958466.0) {
        return std::nullopt;
    }
    double dayPart = std::trunc(serial);
    qint64 seconds = std::llround(std::fabs(serial - dayPart) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        dayPart += serial < 0 ? -1 : 1;
    }
    const QDate date = QDate::fromJulianDay(kEpochJulian + static_cast<qint64>(dayPart));
    DateParts parts;
    parts.year = date.year();
    parts.month = date.month();
    parts.day = date.day();
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return parts;
}

std::optional<double> parseDateText(QStringView text) {
    static const QRegularExpression datePart(
        QStringLiteral(R"(^\s*(\d{1,4})\s*[/\-]\s*(\d{1,2})\s*[/\-]\s*(\d{1,4})\s*)"));
    static const QRegularExpression timePart(
        QStringLiteral(R"(^\s*(\d{1,2})\s*:\s*(\d{1,2})(?:\s*:\s*(\d{1,2}))?\s*(AM|PM|A|P)?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    QString rest = text.toString();
    DateParts parts;
    bool haveDate = false;
    const auto dm = datePart.match(rest);
    if (dm.hasMatch()) {
        const QString first = dm.captured(1);
        int a = first.toInt(), b = dm.captured(2).toInt(), c = dm.captured(3).toInt();
        if (first.size() == 4) {
            parts.year = a;
            parts.month = b;
            parts.day = c;
        } else {
            parts.month = a;
            parts.day = b;
            parts.year = c;
            if (dm.captured(3).size() <= 2) {
                parts.year += c < 30 ? 2000 : 1900;
            }
        }
        haveDate = true;
        rest = rest.mid(dm.capturedLength());
    }
    if (!rest.trimmed().isEmpty()) {
        const auto tm = timePart.match(rest);
        if (!tm.hasMatch()) {
            return std::nullopt;
        }
        parts.hour = tm.captured(1).toInt();
        parts.minute = tm.captured(2).toInt();
        parts.second = tm.captured(3).toInt();
        const QString half = tm.captured(4).toUpper();
        if (!half.isEmpty()) {
            if (parts.hour < 1 || parts.hour > 12) {
                return std::nullopt;
            }
            parts.hour %= 12;
            if (half.startsWith(QLatin1Char('P'))) {
                parts.hour += 12;
            }
        }
    } else if (!haveDate) {
        return std::nullopt;
    }
    return oleSerial(parts);
}

}  // namespace korvane
