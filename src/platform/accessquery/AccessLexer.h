#pragma once
// Tokens of an Access SQL expression or statement.

#include <QString>
#include <vector>

#include "platform/Result.h"

namespace korvane {

struct AccessToken {
    enum class Type { Number, Text, Date, Name, Symbol, End };
    Type type = Type::End;
    QString text;            // the name (without brackets), the text, or the symbol
    bool bracketed = false;  // a [name]
    bool integer = false;    // a Number without fraction or exponent
    double number = 0.0;     // Number value or Date serial
    qint64 integerValue = 0;
    int begin = 0;  // where the token is in the text it was read from
    int end = 0;
};

// Splits `text` into tokens ending with an End token (placed at the end of the text). Fails on
// a token Access would not accept (an unclosed string, bracket or date, a bad date).
Result<std::vector<AccessToken>> tokenizeAccessExpr(const QString& text);

}  // namespace korvane
