#include "text/Numbers.h"

#include <locale.h>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

namespace korvane {

namespace {

// Blanks, tabs and line feeds may stand anywhere in a typed number ("1 2" reads 12).
bool isIgnored(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

int hexDigitValue(QChar c) {
    if (isDigit(c)) {
        return c.unicode() - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c.unicode() - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c.unicode() - u'A' + 10;
    }
    return -1;
}

// Walks the characters of a text, stepping over the ignored blanks.
class NumberScanner {
public:
    explicit NumberScanner(QStringView text) : m_text(text) { skipIgnored(); }

    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text[m_pos]; }
    void advance() {
        ++m_pos;
        skipIgnored();
    }

private:
    void skipIgnored() {
        while (m_pos < m_text.size() && isIgnored(m_text[m_pos])) {
            ++m_pos;
        }
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

// The digits after "&H" or "&O", read as an unsigned value of any size.
double readRadixDigits(NumberScanner& scan, int radix) {
    double value = 0;
    for (;;) {
        const int digit = hexDigitValue(scan.peek());
        if (digit < 0 || digit >= radix) {
            return value;
        }
        value = value * radix + digit;
        scan.advance();
    }
}

// Converts plain ASCII number text ("12.5e-3") without regard to the user's locale.
double parseDecimal(const std::string& text) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return strtod_l(text.c_str(), nullptr, cLocale);
}

// Appends the run of digits at the scanner to text; returns how many there were.
int appendDigits(NumberScanner& scan, std::string& text) {
    int count = 0;
    while (isDigit(scan.peek())) {
        text.push_back(static_cast<char>(scan.peek().unicode()));
        scan.advance();
        ++count;
    }
    return count;
}

}  // namespace

QString NumberText(int64_t number) {
    const QString digits = QString::number(number);
    return number < 0 ? digits : QStringLiteral(" ") + digits;
}

double Val(QStringView text) {
    NumberScanner scan(text);
    bool negative = false;
    if (scan.peek() == u'+' || scan.peek() == u'-') {
        negative = scan.peek() == u'-';
        scan.advance();
    }

    if (scan.peek() == u'&') {
        scan.advance();
        const QChar prefix = scan.peek().toUpper();
        double value = 0;
        if (prefix == u'H' || prefix == u'O') {
            scan.advance();
            value = readRadixDigits(scan, prefix == u'H' ? 16 : 8);
        }
        return negative && value != 0 ? -value : value;
    }

    std::string number = "0";
    int mantissaDigits = appendDigits(scan, number);
    if (scan.peek() == u'.') {
        number.push_back('.');
        scan.advance();
        mantissaDigits += appendDigits(scan, number);
    }
    if (mantissaDigits == 0) {
        return 0;
    }

    // An exponent mark (E or D) counts only when digits follow it.
    const QChar mark = scan.peek().toUpper();
    if (mark == u'E' || mark == u'D') {
        scan.advance();
        std::string exponent = "e";
        if (scan.peek() == u'+' || scan.peek() == u'-') {
            exponent.push_back(static_cast<char>(scan.peek().unicode()));
            scan.advance();
        }
        if (appendDigits(scan, exponent) > 0) {
            number += exponent;
        }
    }

    const double value = parseDecimal(number);
    return negative && value != 0 ? -value : value;
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5) {
        return below + 1;
    }
    if (fraction < 0.5) {
        return below;
    }
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

}  // namespace korvane
