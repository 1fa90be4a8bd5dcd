#pragma once
// Tokens of an Access SQL expression.

#include <QString>
#include <vector>

namespace korvane {

struct AccessToken {
    enum class Type { Number, Text, Date, Name, Symbol, End };
    Type type = Type::End;
    QString text;            // the name (without brackets), the text, or the symbol
    bool bracketed = false;  // a [name]
    bool integer = false;    // a Number without fraction or exponent
    double number = 0.0;     // Number value or Date serial
    qint64 integerValue = 0;
};

// Splits `text` into tokens ending with an End token. Returns false with `error` on a token
// Access would not accept (an unclosed string, bracket or date, a bad date).
bool tokenizeAccessExpr(const QString& text, std::vector<AccessToken>& out, QString& error);

}  // namespace korvane
