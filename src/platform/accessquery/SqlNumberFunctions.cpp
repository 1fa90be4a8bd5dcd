// Access's arithmetic and logic on SQLite values: -1 is True, bitwise And/Or/Not, Null
// propagation, integer conversions with half-to-even rounding and overflow errors.

#include <cmath>
#include <limits>

#include "platform/accessquery/QueryFault.h"
#include "platform/accessquery/SqlArgs.h"
#include "platform/accessquery/SqlFunctions.h"
#include "text/Numbers.h"

namespace korvane {

namespace {

// Reads argument `i` as a whole number; returns false after setting the result when the
// function is done (Null in, or an error).
bool wholeArg(sqlite3_context* ctx, sqlite3_value* value, const char* fn, int64_t& out) {
    bool mismatch = false;
    const auto whole = argWhole(value, mismatch);
    if (mismatch) {
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

bool numberArg(sqlite3_context* ctx, sqlite3_value* value, const char* fn, double& out) {
    bool mismatch = false;
    const auto number = argNumber(value, mismatch);
    if (mismatch) {
        resultTypeMismatch(ctx, fn);
        return false;
    }
    if (!number) {
        sqlite3_result_null(ctx);
        return false;
    }
    out = *number;
    return true;
}

bool isNull(sqlite3_value* v) {
    return sqlite3_value_type(v) == SQLITE_NULL;
}

// And and Or with Null: False And Null is False, True Or Null is True, otherwise Null.
void akAnd(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int64_t a = 0, b = 0;
    bool mismatch = false;
    const auto x = argWhole(argv[0], mismatch);
    const auto y = argWhole(argv[1], mismatch);
    if (mismatch) {
        return resultTypeMismatch(ctx, "And");
    }
    if (!x || !y) {
        const auto known = x ? x : y;
        if (known && *known == 0) {
            return sqlite3_result_int64(ctx, 0);
        }
        return sqlite3_result_null(ctx);
    }
    a = *x;
    b = *y;
    sqlite3_result_int64(ctx, a & b);
}

void akOr(sqlite3_context* ctx, int, sqlite3_value** argv) {
    bool mismatch = false;
    const auto x = argWhole(argv[0], mismatch);
    const auto y = argWhole(argv[1], mismatch);
    if (mismatch) {
        return resultTypeMismatch(ctx, "Or");
    }
    if (!x || !y) {
        const auto known = x ? x : y;
        if (known && *known == -1) {
            return sqlite3_result_int64(ctx, -1);
        }
        return sqlite3_result_null(ctx);
    }
    sqlite3_result_int64(ctx, *x | *y);
}

template <int64_t (*Op)(int64_t, int64_t)>
void bitwise(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int64_t a = 0, b = 0;
    if (!wholeArg(ctx, argv[0], "Xor/Eqv/Imp", a)) {
        return;
    }
    if (!wholeArg(ctx, argv[1], "Xor/Eqv/Imp", b)) {
        return;
    }
    sqlite3_result_int64(ctx, Op(a, b));
}
int64_t opXor(int64_t a, int64_t b) {
    return a ^ b;
}
int64_t opEqv(int64_t a, int64_t b) {
    return ~(a ^ b);
}
int64_t opImp(int64_t a, int64_t b) {
    return ~a | b;
}

void akNot(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int64_t a = 0;
    if (wholeArg(ctx, argv[0], "Not", a)) {
        sqlite3_result_int64(ctx, ~a);
    }
}

// + of Access: numbers add; two texts are joined; a number and a numeric text add.
void akAdd(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1])) {
        return sqlite3_result_null(ctx);
    }
    const bool text0 = sqlite3_value_type(argv[0]) == SQLITE_TEXT;
    const bool text1 = sqlite3_value_type(argv[1]) == SQLITE_TEXT;
    if (text0 && text1) {
        return resultText(ctx, argText(argv[0]) + argText(argv[1]));
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER &&
        sqlite3_value_type(argv[1]) == SQLITE_INTEGER) {
        int64_t sum = 0;
        if (!__builtin_add_overflow(sqlite3_value_int64(argv[0]), sqlite3_value_int64(argv[1]),
                                    &sum)) {
            return sqlite3_result_int64(ctx, sum);
        }
    }
    double a = 0, b = 0;
    if (numberArg(ctx, argv[0], "+", a) && numberArg(ctx, argv[1], "+", b)) {
        sqlite3_result_double(ctx, a + b);
    }
}

void akDiv(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double a = 0, b = 0;
    if (!numberArg(ctx, argv[0], "/", a) || !numberArg(ctx, argv[1], "/", b)) {
        return;
    }
    if (b == 0) {
        return resultError(ctx, Failure(QueryFault::DivisionByZero));
    }
    sqlite3_result_double(ctx, a / b);
}

// \ and Mod round both operands to whole numbers first.
void akIntDiv(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int64_t a = 0, b = 0;
    if (!wholeArg(ctx, argv[0], "\\", a) || !wholeArg(ctx, argv[1], "\\", b)) {
        return;
    }
    if (b == 0) {
        return resultError(ctx, Failure(QueryFault::DivisionByZero));
    }
    if (a == std::numeric_limits<int64_t>::min() && b == -1) {
        return resultError(ctx, Failure(QueryFault::Overflow));
    }
    sqlite3_result_int64(ctx, a / b);
}

void akMod(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int64_t a = 0, b = 0;
    if (!wholeArg(ctx, argv[0], "Mod", a) || !wholeArg(ctx, argv[1], "Mod", b)) {
        return;
    }
    if (b == 0) {
        return resultError(ctx, Failure(QueryFault::DivisionByZero));
    }
    sqlite3_result_int64(ctx, b == -1 ? 0 : a % b);
}

void akPow(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double a = 0, b = 0;
    if (!numberArg(ctx, argv[0], "^", a) || !numberArg(ctx, argv[1], "^", b)) {
        return;
    }
    const double result = std::pow(a, b);
    if (!std::isfinite(result)) {
        return resultError(ctx, Failure(QueryFault::PowerNotNumber));
    }
    sqlite3_result_double(ctx, result);
}

// CInt and CLng: half to even, with Access's overflow error outside the type's range.
template <int64_t Low, int64_t High>
void convertWhole(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double value = 0;
    if (!numberArg(ctx, argv[0], Low == -32768 ? "CInt" : "CLng", value)) {
        return;
    }
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= static_cast<double>(Low) && rounded <= static_cast<double>(High))) {
        return resultError(ctx, Failure(QueryFault::OverflowOf, {QString::number(value)}));
    }
    sqlite3_result_int64(ctx, static_cast<int64_t>(rounded));
}

void akCDbl(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double value = 0;
    if (numberArg(ctx, argv[0], "CDbl", value)) {
        sqlite3_result_double(ctx, value);
    }
}

void akCCur(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double value = 0;
    if (!numberArg(ctx, argv[0], "CCur", value)) {
        return;
    }
    if (!(std::fabs(value) < 9.2e14)) {
        return resultError(ctx, Failure(QueryFault::OverflowOf, {QString::number(value)}));
    }
    sqlite3_result_double(ctx, RoundHalfEven(value * 10000.0) / 10000.0);
}

void akCBool(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        const QString text = argText(argv[0]).trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
            return sqlite3_result_int64(ctx, -1);
        }
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
            return sqlite3_result_int64(ctx, 0);
        }
    }
    double value = 0;
    if (numberArg(ctx, argv[0], "CBool", value)) {
        sqlite3_result_int64(ctx, value != 0 ? -1 : 0);
    }
}

// Int, Fix, Abs, Round keep integers integers and reals reals.
template <double (*Op)(double), bool IsAbs>
void keepKind(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        const int64_t value = sqlite3_value_int64(argv[0]);
        if (IsAbs) {
            if (value == std::numeric_limits<int64_t>::min()) {
                return resultError(ctx, Failure(QueryFault::Overflow));
            }
            return sqlite3_result_int64(ctx, value < 0 ? -value : value);
        }
        return sqlite3_result_int64(ctx, value);
    }
    double value = 0;
    if (numberArg(ctx, argv[0], "Int/Fix/Abs", value)) {
        sqlite3_result_double(ctx, Op(value));
    }
}

double opFloor(double v) {
    return std::floor(v);
}
double opTrunc(double v) {
    return std::trunc(v);
}
double opAbs(double v) {
    return std::fabs(v);
}

// Round(x[, places]): half to even at the given number of decimals, like Access.
void akRound(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    int64_t places = 0;
    if (argc > 1 && !wholeArg(ctx, argv[1], "Round", places)) {
        return;
    }
    if (places < 0 || places > 22) {
        return resultError(ctx, Failure(QueryFault::RoundPlaces, {QString::number(places)}));
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
    }
    double value = 0;
    if (!numberArg(ctx, argv[0], "Round", value)) {
        return;
    }
    const double scale = std::pow(10.0, static_cast<double>(places));
    const double scaled = value * scale;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 4.5e15) {
        return sqlite3_result_double(ctx, value);  // no digits left to round away
    }
    // Decide the half on the decimal text of the value, not on the binary product, so that
    // Round(2.675, 2) sees the 5 Access sees.
    const double shown = QString::number(scaled, 'g', 15).toDouble();
    sqlite3_result_double(ctx, RoundHalfEven(shown) / scale);
}

void akSgn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double value = 0;
    if (numberArg(ctx, argv[0], "Sgn", value)) {
        sqlite3_result_int64(ctx, value > 0 ? 1 : value < 0 ? -1 : 0);
    }
}

void akSqr(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double value = 0;
    if (!numberArg(ctx, argv[0], "Sqr", value)) {
        return;
    }
    if (value < 0) {
        return resultError(ctx, Failure(QueryFault::SqrOfNegative, {QString::number(value)}));
    }
    sqlite3_result_double(ctx, std::sqrt(value));
}

const SqlFunctionDef kNumberFunctions[] = {
    {"ak_and", 2, akAnd, true},
    {"ak_or", 2, akOr, true},
    {"ak_xor", 2, bitwise<opXor>, true},
    {"ak_eqv", 2, bitwise<opEqv>, true},
    {"ak_imp", 2, bitwise<opImp>, true},
    {"ak_not", 1, akNot, true},
    {"ak_add", 2, akAdd, true},
    {"ak_div", 2, akDiv, true},
    {"ak_intdiv", 2, akIntDiv, true},
    {"ak_mod", 2, akMod, true},
    {"ak_pow", 2, akPow, true},
    {"ak_cint", 1, convertWhole<-32768, 32767>, true},
    {"ak_clng", 1, convertWhole<-2147483648LL, 2147483647LL>, true},
    {"ak_cdbl", 1, akCDbl, true},
    {"ak_ccur", 1, akCCur, true},
    {"ak_cbool", 1, akCBool, true},
    {"ak_int", 1, keepKind<opFloor, false>, true},
    {"ak_fix", 1, keepKind<opTrunc, false>, true},
    {"ak_abs", 1, keepKind<opAbs, true>, true},
    {"ak_round", -1, akRound, true},
    {"ak_sgn", 1, akSgn, true},
    {"ak_sqr", 1, akSqr, true},
};

}  // namespace

const SqlFunctionDef* numberFunctions(int& count) {
    count = static_cast<int>(std::size(kNumberFunctions));
    return kNumberFunctions;
}

}  // namespace korvane
