#include "platform/accessquery/AccessFormat.h"

#include <QDate>
#include <QRegularExpression>
#include <cmath>
#include <optional>

#include "platform/DbValue.h"
#include "platform/accessquery/AccessDates.h"
#include "platform/accessquery/QueryFault.h"
#include "platform/accessquery/SqlArgs.h"
#include "text/ValueText.h"

namespace korvane {

namespace {

struct NamedFormat {
    const char* name;
    const char* pattern;  // nullptr: handled by name
};

// Named formats as Access shows them on a Japanese system.
const NamedFormat kNamedFormats[] = {
    {"general number", nullptr},  {"fixed", "0.00"},         {"standard", "#,##0.00"},
    {"percent", "0.00%"},         {"currency", "\\\\#,##0"}, {"general date", nullptr},
    {"short date", "yyyy/mm/dd"}, {"long time", "h:nn:ss"},  {"medium time", "hh:nn AM/PM"},
    {"short time", "hh:nn"},      {"yes/no", nullptr},       {"true/false", nullptr},
    {"on/off", nullptr},
};

bool isDateLetter(QChar c) {
    return QStringLiteral("ymdhnsqwYMDHNSQW").contains(c);
}

// Splits off the literal parts ("..." and \x) and tells whether the rest is a number pattern.
bool isNumberPattern(const QString& pattern) {
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('"')) {
            const int close = pattern.indexOf(QLatin1Char('"'), i + 1);
            i = close < 0 ? pattern.size() : close;
        } else if (c == QLatin1Char('\\')) {
            ++i;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            return true;
        }
    }
    return false;
}

QString twoDigits(int64_t n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

struct DateToken {
    QChar letter;  // lower case; 0 for a literal
    int count = 0;
    QString literal;
};

Result<std::vector<DateToken>> tokenizeDate(const QString& pattern) {
    std::vector<DateToken> tokens;
    for (int i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('"')) {
            const int close = pattern.indexOf(QLatin1Char('"'), i + 1);
            const int end = close < 0 ? pattern.size() : close;
            tokens.push_back({QChar(), 0, pattern.mid(i + 1, end - i - 1)});
            i = end + 1;
        } else if (c == QLatin1Char('\\')) {
            tokens.push_back({QChar(), 0, pattern.mid(i + 1, 1)});
            i += 2;
        } else if (pattern.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            tokens.push_back({QLatin1Char('p'), 5, pattern.mid(i, 5)});
            i += 5;
        } else if (pattern.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            tokens.push_back({QLatin1Char('p'), 3, pattern.mid(i, 3)});
            i += 3;
        } else if (isDateLetter(c)) {
            int j = i;
            while (j < pattern.size() && pattern[j].toLower() == c.toLower()) {
                ++j;
            }
            tokens.push_back({c.toLower(), j - i, QString()});
            i = j;
        } else if (c.isLetter()) {
            return Failure(QueryFault::FormatLetter, {pattern, QString(c)});
        } else {
            tokens.push_back({QChar(), 0, QString(c)});
            ++i;
        }
    }
    return tokens;
}

bool isMinuteAt(const std::vector<DateToken>& tokens, size_t index) {
    for (size_t i = index; i-- > 0;) {
        if (!tokens[i].letter.isNull()) {
            return tokens[i].letter == QLatin1Char('h');
        }
    }
    for (size_t i = index + 1; i < tokens.size(); ++i) {
        if (!tokens[i].letter.isNull()) {
            return tokens[i].letter == QLatin1Char('s');
        }
    }
    return false;
}

Result<QString> formatDate(double serial, const QString& pattern) {
    const auto parts = oleParts(serial);
    if (!parts) {
        return Failure(QueryFault::FormatDateOutOfRange);
    }
    const Result<std::vector<DateToken>> tokens = tokenizeDate(pattern);
    if (!tokens) {
        return tokens.takeFailure();
    }
    bool twelveHour = false;
    for (const DateToken& t : tokens.value()) {
        twelveHour = twelveHour || t.letter == QLatin1Char('p');
    }
    const QDate date(parts->year, parts->month, parts->day);
    QString out;
    for (size_t i = 0; i < tokens->size(); ++i) {
        const DateToken& t = tokens.value()[i];
        const char letter = t.letter.toLatin1();
        const int hour = twelveHour ? (parts->hour % 12 == 0 ? 12 : parts->hour % 12) : parts->hour;
        bool bad = false;
        switch (letter) {
            case 0:
                out += t.literal;
                break;
            case 'y':
                if (t.count == 1) {
                    out += QString::number(date.dayOfYear());
                } else if (t.count == 2) {
                    out += twoDigits(parts->year % 100);
                } else if (t.count == 4) {
                    out += QString::number(parts->year);
                } else {
                    bad = true;
                }
                break;
            case 'm': {
                const int value = isMinuteAt(tokens.value(), i) ? parts->minute : parts->month;
                bad = t.count > 2;
                out += t.count == 2 ? twoDigits(value) : QString::number(value);
                break;
            }
            case 'n':
            case 'h':
            case 's':
            case 'd': {
                const int value = letter == 'n'   ? parts->minute
                                  : letter == 'h' ? hour
                                  : letter == 's' ? parts->second
                                                  : parts->day;
                bad = t.count > 2;
                out += t.count == 2 ? twoDigits(value) : QString::number(value);
                break;
            }
            case 'q':
                bad = t.count > 1;
                out += QString::number((parts->month - 1) / 3 + 1);
                break;
            case 'w':
                if (t.count == 1) {
                    out += QString::number(date.dayOfWeek() % 7 + 1);
                } else if (t.count == 2) {
                    // Week of the year, weeks beginning on Sunday, week 1 holding January 1.
                    const QDate jan1(parts->year, 1, 1);
                    const int offset = jan1.dayOfWeek() % 7;
                    out += QString::number((date.dayOfYear() - 1 + offset) / 7 + 1);
                } else {
                    bad = true;
                }
                break;
            case 'p': {
                const bool pm = parts->hour >= 12;
                const QString& text = t.literal;
                if (t.count == 5) {
                    const QString half = pm ? text.mid(3, 2) : text.left(2);
                    out += half;
                } else {
                    out += pm ? text.mid(2, 1) : text.left(1);
                }
                break;
            }
            default:
                bad = true;
                break;
        }
        if (bad) {
            return Failure(QueryFault::FormatPattern, {pattern});
        }
    }
    return out;
}

// Digits of |value| rounded half away from zero to `decimals` places.
QString fixedDigits(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double shown = QString::number(std::fabs(value) * scale, 'g', 15).toDouble();
    const double rounded = std::floor(shown + 0.5) / scale;
    return QString::number(rounded, 'f', decimals);
}

Result<QString> formatNumberSection(double value, const QString& section, const QString& whole) {
    const auto unusable = [&whole] { return Failure(QueryFault::FormatPattern, {whole}); };
    QString prefix, suffix;
    int intZeros = 0, decZeros = 0, decHashes = 0;
    bool inNumber = false, seenDecimal = false, grouping = false, percent = false;
    bool afterNumber = false;
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        QString literal;
        if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (afterNumber) {
                return unusable();
            }
            inNumber = true;
            if (seenDecimal) {
                (c == QLatin1Char('0') ? decZeros : decHashes) += 1;
                if (c == QLatin1Char('0') && decHashes > 0) {
                    return unusable();
                }
            } else if (c == QLatin1Char('0')) {
                ++intZeros;
            }
            continue;
        }
        if (c == QLatin1Char('.') && !seenDecimal && !afterNumber) {
            seenDecimal = true;
            inNumber = true;
            continue;
        }
        if (c == QLatin1Char(',') && inNumber && !seenDecimal && !afterNumber) {
            grouping = true;
            continue;
        }
        if (c == QLatin1Char('"')) {
            const int close = section.indexOf(QLatin1Char('"'), i + 1);
            const int end = close < 0 ? section.size() : close;
            literal = section.mid(i + 1, end - i - 1);
            i = end;
        } else if (c == QLatin1Char('\\')) {
            literal = section.mid(i + 1, 1);
            ++i;
        } else if (c == QLatin1Char('E') || c == QLatin1Char('e') || c == QLatin1Char('@') ||
                   c == QLatin1Char('&')) {
            return unusable();
        } else {
            literal = c;
            percent = percent || c == QLatin1Char('%');
        }
        if (inNumber) {
            afterNumber = true;
            suffix += literal;
        } else {
            prefix += literal;
        }
    }
    if (percent) {
        value *= 100;
    }
    const int decimals = decZeros + decHashes;
    QString digits = fixedDigits(value, decimals);
    QString intPart = digits.section(QLatin1Char('.'), 0, 0);
    QString decPart = digits.section(QLatin1Char('.'), 1);
    while (decPart.size() > decZeros && decPart.endsWith(QLatin1Char('0'))) {
        decPart.chop(1);
    }
    if (intPart == QLatin1String("0") && intZeros == 0) {
        intPart.clear();
    }
    while (intPart.size() < intZeros) {
        intPart.prepend(QLatin1Char('0'));
    }
    if (grouping) {
        for (int i = intPart.size() - 3; i > 0; i -= 3) {
            intPart.insert(i, QLatin1Char(','));
        }
    }
    QString number = intPart;
    if (seenDecimal) {
        number += QLatin1Char('.') + decPart;
    }
    return prefix + number + suffix;
}

Result<QString> formatNumber(double value, const QString& pattern) {
    // Sections: positive; negative; zero (the negative section shows the magnitude).
    const QStringList sections = pattern.split(QLatin1Char(';'));
    QString section = sections[0];
    bool sign = value < 0;
    if (value < 0 && sections.size() > 1 && !sections[1].isEmpty()) {
        section = sections[1];
        sign = false;
    } else if (value == 0 && sections.size() > 2 && !sections[2].isEmpty()) {
        section = sections[2];
    }
    Result<QString> text = formatNumberSection(std::fabs(value), section, pattern);
    if (text && sign && text->contains(QRegularExpression(QStringLiteral("[1-9]")))) {
        text->prepend(QLatin1Char('-'));
    }
    return text;
}

}  // namespace

namespace {

// The pattern's text of a value that is a number or a date (not a named format).
Result<QString> formatByPattern(sqlite3_value* value, int kindCode, const QString& pattern) {
    bool mismatch = false;
    if (isNumberPattern(pattern)) {
        const auto number = argNumber(value, mismatch);
        if (!number || mismatch) {
            return valueAsText(value, kindCode);  // a text that is no number stays as it is
        }
        return formatNumber(*number, pattern);
    }
    const auto serial = argDate(value, mismatch);
    if (!serial || mismatch) {
        return valueAsText(value, kindCode);
    }
    return formatDate(*serial, pattern);
}

}  // namespace

Result<QString> formatAccessValue(sqlite3_value* value, int kindCode, const QString& pattern) {
    if (pattern.isEmpty()) {
        return valueAsText(value, kindCode);
    }
    QString effective = pattern;
    for (const NamedFormat& named : kNamedFormats) {
        if (pattern.compare(QLatin1String(named.name), Qt::CaseInsensitive) != 0) {
            continue;
        }
        bool mismatch = false;
        const QString name = QLatin1String(named.name);
        if (named.pattern) {
            effective = QLatin1String(named.pattern);
            break;
        }
        if (name == QLatin1String("general date")) {
            const auto serial = argDate(value, mismatch);
            if (!serial || mismatch) {
                return valueAsText(value, kindCode);
            }
            return OleDateText(*serial);
        }
        const auto number = argNumber(value, mismatch);
        if (!number || mismatch) {
            return valueAsText(value, kindCode);
        }
        if (name == QLatin1String("general number")) {
            return DoubleText(*number);
        }
        const bool yes = *number != 0;
        if (name == QLatin1String("yes/no")) {
            return yes ? QStringLiteral("Yes") : QStringLiteral("No");
        }
        if (name == QLatin1String("true/false")) {
            return yes ? QStringLiteral("True") : QStringLiteral("False");
        }
        return yes ? QStringLiteral("On") : QStringLiteral("Off");
    }
    if (effective == QLatin1String(">") || effective == QLatin1String("<")) {
        const QString text = valueAsText(value, kindCode);
        return effective == QLatin1String(">") ? text.toUpper() : text.toLower();
    }
    return formatByPattern(value, kindCode, effective);
}

}  // namespace korvane
