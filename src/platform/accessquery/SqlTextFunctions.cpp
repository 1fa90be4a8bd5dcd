// Access's text functions on SQLite values. Functions that take the value's kind code after
// their first argument (see translateCall) turn dates, currency and yes/no values into text the
// way Access does before working on them. A Null argument gives Null, as in Access.

#include "platform/accessquery/AccessFormat.h"
#include "platform/accessquery/AccessLike.h"
#include "platform/accessquery/QueryFault.h"
#include "platform/accessquery/SqlArgs.h"
#include "platform/accessquery/SqlFunctions.h"
#include "text/Numbers.h"

namespace korvane {

namespace {

constexpr int64_t kMaxTextLength = 64 * 1024 * 1024;

bool isNull(sqlite3_value* v) {
    return sqlite3_value_type(v) == SQLITE_NULL;
}

// A count or position argument: Null propagates, negative or huge ones are Access's "invalid
// procedure call".
bool lengthArg(sqlite3_context* ctx, sqlite3_value* value, const char* fn, int64_t minimum,
               int64_t& out) {
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
    if (*whole < minimum || *whole > kMaxTextLength) {
        resultError(ctx, Failure(QueryFault::BadArgument,
                                 {QString::fromLatin1(fn), QString::number(*whole)}));
        return false;
    }
    out = *whole;
    return true;
}

QString kindText(sqlite3_value** argv) {
    return valueAsText(argv[0], sqlite3_value_int(argv[1]));
}

void akLeft(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int64_t n = 0;
    if (isNull(argv[0])) {
        return sqlite3_result_null(ctx);
    }
    if (lengthArg(ctx, argv[2], "Left", 0, n)) {
        resultText(ctx, kindText(argv).left(static_cast<qsizetype>(n)));
    }
}

void akRight(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int64_t n = 0;
    if (isNull(argv[0])) {
        return sqlite3_result_null(ctx);
    }
    if (lengthArg(ctx, argv[2], "Right", 0, n)) {
        resultText(ctx, kindText(argv).right(static_cast<qsizetype>(n)));
    }
}

void akMid(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    int64_t start = 0, length = -1;
    if (isNull(argv[0])) {
        return sqlite3_result_null(ctx);
    }
    if (!lengthArg(ctx, argv[2], "Mid", 1, start)) {
        return;
    }
    if (argc > 3 && !lengthArg(ctx, argv[3], "Mid", 0, length)) {
        return;
    }
    resultText(
        ctx, kindText(argv).mid(static_cast<qsizetype>(start - 1), static_cast<qsizetype>(length)));
}

template <QString (*Op)(const QString&)>
void textOp(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0])) {
        return sqlite3_result_null(ctx);
    }
    resultText(ctx, Op(kindText(argv)));
}

QString opUpper(const QString& s) {
    return s.toUpper();
}
QString opLower(const QString& s) {
    return s.toLower();
}
// Trim removes blanks only (U+0020), not tabs or line ends; the full-width blank stays too.
QString opLTrim(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && s[i] == QLatin1Char(' ')) {
        ++i;
    }
    return s.mid(i);
}
QString opRTrim(const QString& s) {
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == QLatin1Char(' ')) {
        --n;
    }
    return s.left(n);
}
QString opTrim(const QString& s) {
    return opRTrim(opLTrim(s));
}
QString opSame(const QString& s) {
    return s;
}

void akLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0])) {
        return sqlite3_result_null(ctx);
    }
    sqlite3_result_int64(ctx, kindText(argv).size());
}

void akVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0])) {
        return resultError(ctx, Failure(QueryFault::NullToVal));
    }
    sqlite3_result_double(ctx, Val(kindText(argv)));
}

void akFormat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (isNull(argv[0])) {
        return sqlite3_result_null(ctx);
    }
    const QString pattern = argc > 2 && !isNull(argv[2]) ? argText(argv[2]) : QString();
    const Result<QString> text = formatAccessValue(argv[0], sqlite3_value_int(argv[1]), pattern);
    if (!text) {
        return resultError(ctx, text.takeFailure());
    }
    resultText(ctx, text.value());
}

// InStr([start,] text, sought[, compare]): 1-based position, 0 when absent. Three or four
// arguments begin with the start. Compare 0 is binary; otherwise (and by default in a query)
// letter case is ignored.
void akInStr(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    int64_t start = 1;
    int first = 0;
    if (argc >= 3) {
        if (!lengthArg(ctx, argv[0], "InStr", 1, start)) {
            return;
        }
        first = 1;
    }
    if (isNull(argv[first]) || isNull(argv[first + 1])) {
        return sqlite3_result_null(ctx);
    }
    Qt::CaseSensitivity cs = Qt::CaseInsensitive;
    if (argc > first + 2) {
        int64_t compare = 1;
        if (!lengthArg(ctx, argv[first + 2], "InStr", -1, compare)) {
            return;
        }
        cs = compare == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive;
    }
    const QString text = valueAsText(argv[first], 0);
    const QString sought = valueAsText(argv[first + 1], 0);
    if (start > text.size()) {
        return sqlite3_result_int64(ctx, 0);
    }
    if (sought.isEmpty()) {
        return sqlite3_result_int64(ctx, start);
    }
    sqlite3_result_int64(ctx, text.indexOf(sought, static_cast<qsizetype>(start - 1), cs) + 1);
}

// Replace(text, find, replacement): letter case ignored, as in a query.
void akReplace(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0])) {
        return sqlite3_result_null(ctx);
    }
    if (isNull(argv[1]) || isNull(argv[2])) {
        return resultError(ctx, Failure(QueryFault::NullToReplace));
    }
    QString text = valueAsText(argv[0], 0);
    const QString find = valueAsText(argv[1], 0);
    if (find.isEmpty()) {
        return resultText(ctx, text);
    }
    const QString replacement = valueAsText(argv[2], 0);
    const qint64 growth = static_cast<qint64>(replacement.size()) - find.size();
    if (growth > 0 && text.size() / find.size() * growth + text.size() > kMaxTextLength) {
        return resultError(ctx, Failure(QueryFault::ReplaceTooLong));
    }
    resultText(ctx, text.replace(find, replacement, Qt::CaseInsensitive));
}

void akSpace(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int64_t n = 0;
    if (lengthArg(ctx, argv[0], "Space", 0, n)) {
        resultText(ctx, QString(static_cast<qsizetype>(n), QLatin1Char(' ')));
    }
}

// a & b: Null counts as "", values become text in their Access forms.
void akConcat(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0]) && isNull(argv[2])) {
        return sqlite3_result_null(ctx);
    }
    const QString left = valueAsText(argv[0], sqlite3_value_int(argv[1]));
    const QString right = valueAsText(argv[2], sqlite3_value_int(argv[3]));
    if (static_cast<int64_t>(left.size()) + right.size() > kMaxTextLength) {
        return resultError(ctx, Failure(QueryFault::ConcatTooLong));
    }
    resultText(ctx, left + right);
}

void akLike(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1])) {
        return sqlite3_result_null(ctx);
    }
    const auto matched = accessLike(valueAsText(argv[0], 0), valueAsText(argv[1], 0));
    if (!matched) {
        return resultError(ctx, Failure(QueryFault::UnusableLikePattern, {argText(argv[1])}));
    }
    sqlite3_result_int64(ctx, *matched ? -1 : 0);
}

const SqlFunctionDef kTextFunctions[] = {
    {"ak_left", 3, akLeft, true},
    {"ak_right", 3, akRight, true},
    {"ak_mid", -1, akMid, true},
    {"ak_len", 2, akLen, true},
    {"ak_ucase", 2, textOp<opUpper>, true},
    {"ak_lcase", 2, textOp<opLower>, true},
    {"ak_trim", 2, textOp<opTrim>, true},
    {"ak_ltrim", 2, textOp<opLTrim>, true},
    {"ak_rtrim", 2, textOp<opRTrim>, true},
    {"ak_cstr", 2, textOp<opSame>, true},
    {"ak_val", 2, akVal, true},
    {"ak_format", -1, akFormat, true},
    {"ak_instr", -1, akInStr, true},
    {"ak_replace", 3, akReplace, true},
    {"ak_space", 1, akSpace, true},
    {"ak_concat", 4, akConcat, true},
    {"ak_like", 2, akLike, true},
};

}  // namespace

const SqlFunctionDef* textFunctions(int& count) {
    count = static_cast<int>(std::size(kTextFunctions));
    return kTextFunctions;
}

}  // namespace korvane
