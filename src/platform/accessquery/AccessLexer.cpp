#include "platform/accessquery/AccessLexer.h"

#include <cmath>

#include "platform/accessquery/AccessDates.h"
#include "platform/accessquery/QueryFault.h"

namespace korvane {

namespace {

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') ||
           c.unicode() >= 0x80;
}

// Reads one token starting at `at` (not a blank); `next` is where the following one starts.
class TokenReader {
public:
    explicit TokenReader(const QString& text) : m_text(text), m_n(text.size()) {}

    Status read(int at, AccessToken& token, int& next) {
        const QChar c = m_text[at];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            return quoted(at, token, next);
        }
        if (c == QLatin1Char('[')) {
            return bracketed(at, token, next);
        }
        if (c == QLatin1Char('#')) {
            return date(at, token, next);
        }
        if (c.isDigit() || (c == QLatin1Char('.') && at + 1 < m_n && m_text[at + 1].isDigit())) {
            return number(at, token, next);
        }
        if (c == QLatin1Char('&') && at + 2 < m_n &&
            QStringLiteral("HhOo").contains(m_text[at + 1]) && m_text[at + 2].isLetterOrNumber()) {
            return radixNumber(at, token, next);
        }
        if (isNameChar(c)) {
            next = at;
            while (next < m_n && isNameChar(m_text[next])) {
                ++next;
            }
            token.type = AccessToken::Type::Name;
            token.text = m_text.mid(at, next - at);
            return Done{};
        }
        return symbol(at, token, next);
    }

private:
    // A quote inside is written twice.
    Status quoted(int at, AccessToken& token, int& next) {
        const QChar quote = m_text[at];
        token.type = AccessToken::Type::Text;
        for (int j = at + 1; j < m_n; ++j) {
            if (m_text[j] != quote) {
                token.text += m_text[j];
            } else if (j + 1 < m_n && m_text[j + 1] == quote) {
                token.text += quote;
                ++j;
            } else {
                next = j + 1;
                return Done{};
            }
        }
        return Failure(QueryFault::UnclosedText);
    }

    Status bracketed(int at, AccessToken& token, int& next) {
        const int close = m_text.indexOf(QLatin1Char(']'), at + 1);
        if (close < 0) {
            return Failure(QueryFault::UnclosedBracket);
        }
        token.type = AccessToken::Type::Name;
        token.bracketed = true;
        token.text = m_text.mid(at + 1, close - at - 1);
        next = close + 1;
        return Done{};
    }

    Status date(int at, AccessToken& token, int& next) {
        const int close = m_text.indexOf(QLatin1Char('#'), at + 1);
        if (close < 0) {
            return Failure(QueryFault::UnclosedDate);
        }
        const QString inside = m_text.mid(at + 1, close - at - 1);
        const auto serial = parseDateText(inside);
        if (!serial) {
            return Failure(QueryFault::UnreadableDate, {inside});
        }
        token.type = AccessToken::Type::Date;
        token.number = *serial;
        next = close + 1;
        return Done{};
    }

    int digitsFrom(int j) const {
        while (j < m_n && m_text[j].isDigit()) {
            ++j;
        }
        return j;
    }

    Status number(int at, AccessToken& token, int& next) {
        int j = digitsFrom(at);
        bool integer = true;
        if (j < m_n && m_text[j] == QLatin1Char('.')) {
            integer = false;
            j = digitsFrom(j + 1);
        }
        if (j < m_n && (m_text[j] == QLatin1Char('e') || m_text[j] == QLatin1Char('E'))) {
            int k = j + 1;
            if (k < m_n && (m_text[k] == QLatin1Char('+') || m_text[k] == QLatin1Char('-'))) {
                ++k;
            }
            if (k < m_n && m_text[k].isDigit()) {
                integer = false;
                j = digitsFrom(k);
            }
        }
        token.type = AccessToken::Type::Number;
        token.text = m_text.mid(at, j - at);
        bool ok = false;
        token.number = token.text.toDouble(&ok);
        if (!ok || !std::isfinite(token.number)) {
            return Failure(QueryFault::UnreadableNumber, {token.text});
        }
        if (integer) {
            token.integerValue = token.text.toLongLong(&ok);
            token.integer = ok;
        }
        next = j;
        return Done{};
    }

    // &H1F, &O17: hexadecimal and octal integers.
    Status radixNumber(int at, AccessToken& token, int& next) {
        const bool hex = m_text[at + 1].toUpper() == QLatin1Char('H');
        int j = at + 2;
        while (j < m_n && m_text[j].isLetterOrNumber()) {
            ++j;
        }
        bool ok = false;
        const qint64 value = m_text.mid(at + 2, j - at - 2).toLongLong(&ok, hex ? 16 : 8);
        if (!ok) {
            return Failure(QueryFault::UnreadableNumber, {m_text.mid(at, j - at)});
        }
        token.type = AccessToken::Type::Number;
        token.integer = true;
        token.integerValue = value;
        token.number = static_cast<double>(value);
        next = j;
        return Done{};
    }

    Status symbol(int at, AccessToken& token, int& next) {
        static const QString twoChar[] = {QStringLiteral("<>"), QStringLiteral("<="),
                                          QStringLiteral(">=")};
        token.type = AccessToken::Type::Symbol;
        for (const QString& op : twoChar) {
            if (QStringView(m_text).mid(at, 2) == op) {
                token.text = op;
            }
        }
        if (token.text.isEmpty()) {
            static const QString single = QStringLiteral("+-*/\\^&=<>(),.!;");
            if (!single.contains(m_text[at])) {
                return Failure(QueryFault::UnusableCharacter, {QString(m_text[at])});
            }
            token.text = m_text[at];
        }
        next = at + static_cast<int>(token.text.size());
        return Done{};
    }

    const QString& m_text;
    const int m_n;
};

}  // namespace

Result<std::vector<AccessToken>> tokenizeAccessExpr(const QString& text) {
    std::vector<AccessToken> out;
    TokenReader reader(text);
    const int n = static_cast<int>(text.size());
    int i = 0;
    while (i < n) {
        if (text[i].isSpace()) {
            ++i;
            continue;
        }
        AccessToken token;
        int next = i + 1;
        const Status read = reader.read(i, token, next);
        if (!read) {
            return read.takeFailure();
        }
        token.begin = i;
        token.end = next;
        out.push_back(std::move(token));
        i = next;
    }
    AccessToken end;
    end.begin = end.end = n;
    out.push_back(end);
    return out;
}

}  // namespace korvane
