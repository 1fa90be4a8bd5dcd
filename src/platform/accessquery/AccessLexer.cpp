#include "platform/accessquery/AccessLexer.h"

#include <cmath>

#include "platform/accessquery/AccessDates.h"

namespace korvane {

namespace {

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') ||
           c.unicode() >= 0x80;
}

}  // namespace

bool tokenizeAccessExpr(const QString& text, std::vector<AccessToken>& out, QString& error) {
    out.clear();
    const int n = text.size();
    int i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        AccessToken token;
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            // A quote inside is written twice.
            token.type = AccessToken::Type::Text;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (text[j] == c) {
                    if (j + 1 < n && text[j + 1] == c) {
                        token.text += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                token.text += text[j++];
            }
            if (!closed) {
                error = QStringLiteral("閉じていない文字列");
                return false;
            }
            i = j + 1;
        } else if (c == QLatin1Char('[')) {
            const int close = text.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0) {
                error = QStringLiteral("閉じていない [");
                return false;
            }
            token.type = AccessToken::Type::Name;
            token.bracketed = true;
            token.text = text.mid(i + 1, close - i - 1);
            i = close + 1;
        } else if (c == QLatin1Char('#')) {
            const int close = text.indexOf(QLatin1Char('#'), i + 1);
            if (close < 0) {
                error = QStringLiteral("閉じていない日付 #");
                return false;
            }
            const QString inside = text.mid(i + 1, close - i - 1);
            const auto serial = parseDateText(inside);
            if (!serial) {
                error = QStringLiteral("日付 #%1#").arg(inside);
                return false;
            }
            token.type = AccessToken::Type::Date;
            token.number = *serial;
            i = close + 1;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && text[i + 1].isDigit())) {
            int j = i;
            while (j < n && text[j].isDigit()) {
                ++j;
            }
            bool integer = true;
            if (j < n && text[j] == QLatin1Char('.')) {
                integer = false;
                ++j;
                while (j < n && text[j].isDigit()) {
                    ++j;
                }
            }
            if (j < n && (text[j] == QLatin1Char('e') || text[j] == QLatin1Char('E'))) {
                int k = j + 1;
                if (k < n && (text[k] == QLatin1Char('+') || text[k] == QLatin1Char('-'))) {
                    ++k;
                }
                if (k < n && text[k].isDigit()) {
                    integer = false;
                    j = k;
                    while (j < n && text[j].isDigit()) {
                        ++j;
                    }
                }
            }
            token.type = AccessToken::Type::Number;
            token.text = text.mid(i, j - i);
            bool ok = false;
            token.number = token.text.toDouble(&ok);
            if (!ok || !std::isfinite(token.number)) {
                error = QStringLiteral("数値 %1").arg(token.text);
                return false;
            }
            if (integer) {
                token.integerValue = token.text.toLongLong(&ok);
                token.integer = ok;
            }
            i = j;
        } else if (c == QLatin1Char('&') && i + 1 < n &&
                   (text[i + 1] == QLatin1Char('H') || text[i + 1] == QLatin1Char('h') ||
                    text[i + 1] == QLatin1Char('O') || text[i + 1] == QLatin1Char('o')) &&
                   i + 2 < n && text[i + 2].isLetterOrNumber()) {
            // &H1F, &O17: hexadecimal and octal integers.
            const bool hex = text[i + 1].toUpper() == QLatin1Char('H');
            int j = i + 2;
            while (j < n && text[j].isLetterOrNumber()) {
                ++j;
            }
            bool ok = false;
            const qint64 value = text.mid(i + 2, j - i - 2).toLongLong(&ok, hex ? 16 : 8);
            if (!ok) {
                error = QStringLiteral("数値 %1").arg(text.mid(i, j - i));
                return false;
            }
            token.type = AccessToken::Type::Number;
            token.integer = true;
            token.integerValue = value;
            token.number = static_cast<double>(value);
            i = j;
        } else if (isNameChar(c)) {
            int j = i;
            while (j < n && isNameChar(text[j])) {
                ++j;
            }
            token.type = AccessToken::Type::Name;
            token.text = text.mid(i, j - i);
            i = j;
        } else {
            static const QString twoChar[] = {QStringLiteral("<>"), QStringLiteral("<="),
                                              QStringLiteral(">=")};
            token.type = AccessToken::Type::Symbol;
            for (const QString& op : twoChar) {
                if (QStringView(text).mid(i, 2) == op) {
                    token.text = op;
                }
            }
            if (token.text.isEmpty()) {
                static const QString single = QStringLiteral("+-*/\\^&=<>(),.!;");
                if (!single.contains(c)) {
                    error = QStringLiteral("文字 '%1'").arg(c);
                    return false;
                }
                token.text = c;
            }
            i += token.text.size();
        }
        out.push_back(token);
    }
    out.push_back(AccessToken());
    return true;
}

}  // namespace korvane
