// A recursive-descent reader of Access expressions that writes SQLite SQL as it reads. Operator
// precedence follows Access: ^, unary -, * /, \, Mod, + -, &, comparisons, Not, And, Or, Xor,
// Eqv, Imp.

#include "platform/accessquery/AccessExpr.h"

#include <cstring>

#include "platform/accessquery/AccessCalls.h"
#include "platform/accessquery/AccessExprParser.h"
#include "platform/accessquery/AccessLexer.h"
#include "platform/accessquery/QueryFault.h"

namespace korvane {

using Kind = DbValue::Kind;

int kindCode(Kind kind) {
    return static_cast<int>(kind);
}

bool isNumericKind(Kind k) {
    return k == Kind::Integer || k == Kind::Real || k == Kind::Currency || k == Kind::Boolean ||
           k == Kind::DateTime || k == Kind::Decimal;
}

namespace {

QString collated(const SqlPiece& p) {
    return QLatin1Char('(') + p.sql + QStringLiteral(") COLLATE ") + QLatin1String(kTextCollation);
}

// A text compared with a date or a number is read as one, as Access does; SQLite would put
// every text after every number. A text that reads as neither is a type mismatch.
void matchKinds(SqlPiece& a, SqlPiece& b) {
    const auto convert = [](SqlPiece& text, Kind target) {
        text.sql =
            (target == Kind::DateTime ? QStringLiteral("ak_cdate(") : QStringLiteral("ak_cdbl(")) +
            text.sql + QLatin1Char(')');
        text.kind = target;
        text.exactSql.clear();
    };
    if (isNumericKind(a.kind) && b.kind == Kind::Text) {
        convert(b, a.kind);
    } else if (isNumericKind(b.kind) && a.kind == Kind::Text) {
        convert(a, b.kind);
    }
}

// Access's truth values are -1 and 0.
SqlPiece truth(const QString& sqlCondition, bool aggregate) {
    SqlPiece out{QStringLiteral("(-(") + sqlCondition + QStringLiteral("))"), Kind::Boolean,
                 aggregate};
    out.setCondition(QLatin1Char('(') + sqlCondition + QLatin1Char(')'));
    return out;
}

}  // namespace

bool AccessExprParser::expression(SqlPiece& out) {
    DepthGuard guard(m_depth);
    if (m_depth > kMaxExprNesting) {
        return fail(Failure(QueryFault::NestedTooDeep));
    }
    return logical(0, out);
}

// Imp, Eqv, Xor, Or, And: bitwise on numbers, which on -1/0 is the logic of truth values.
bool AccessExprParser::logical(int level, SqlPiece& out) {
    static const char* const words[] = {"Imp", "Eqv", "Xor", "Or", "And"};
    if (level == 5) {
        return notLevel(out);
    }
    if (!logical(level + 1, out)) {
        return false;
    }
    while (isWord(words[level])) {
        ++m_pos;
        SqlPiece right;
        if (!logical(level + 1, right)) {
            return false;
        }
        const bool aggregate = out.aggregate || right.aggregate;
        const QString fn = QStringLiteral("ak_") + QLatin1String(words[level]).toString().toLower();
        // On truth values Access's And and Or are SQL's AND and OR, Null included.
        const bool tests = out.hasCondition() && right.hasCondition() && level >= 3;
        const QString test =
            tests ? QLatin1Char('(') + out.condition +
                        (level == 3 ? QStringLiteral(" OR ") : QStringLiteral(" AND ")) +
                        right.condition + QLatin1Char(')')
                  : QString();
        out = {
            fn + QLatin1Char('(') + out.sql + QStringLiteral(", ") + right.sql + QLatin1Char(')'),
            out.kind == Kind::Boolean && right.kind == Kind::Boolean ? Kind::Boolean
                                                                     : Kind::Integer,
            aggregate};
        if (tests) {
            out.setCondition(test);
        }
    }
    return true;
}

bool AccessExprParser::notLevel(SqlPiece& out) {
    if (isWord("Not")) {
        ++m_pos;
        DepthGuard guard(m_depth);
        if (m_depth > kMaxExprNesting) {
            return fail(Failure(QueryFault::NestedTooDeep));
        }
        SqlPiece inner;
        if (!notLevel(inner)) {
            return false;
        }
        out = {QStringLiteral("ak_not(") + inner.sql + QLatin1Char(')'),
               inner.kind == Kind::Boolean ? Kind::Boolean : Kind::Integer, inner.aggregate};
        if (inner.hasCondition()) {
            out.setCondition(QStringLiteral("(NOT ") + inner.condition + QLatin1Char(')'));
        }
        return true;
    }
    return comparison(out);
}

bool AccessExprParser::comparison(SqlPiece& out) {
    if (!concat(out)) {
        return false;
    }
    for (;;) {
        bool matched = false;
        if (!compareOperator(out, matched)) {
            return false;
        }
        if (!matched && !isNullTest(out, matched)) {
            return false;
        }
        if (!matched && !likeBetweenIn(out, matched)) {
            return false;
        }
        if (!matched) {
            return true;
        }
    }
}

bool AccessExprParser::compareOperator(SqlPiece& out, bool& matched) {
    static const char* const ops[] = {"=", "<>", "<", ">", "<=", ">="};
    for (const char* op : ops) {
        if (!isSymbol(op)) {
            continue;
        }
        ++m_pos;
        matched = true;
        if (isWord("Any") || isWord("Some") || isWord("All")) {
            return quantified(out, op);
        }
        SqlPiece right;
        if (!concat(right)) {
            return false;
        }
        matchKinds(out, right);
        if (std::strcmp(op, "=") == 0) {
            m_names.comparedForEquality(out, right);
        }
        out = truth(collated(out) + QLatin1Char(' ') + QLatin1String(op) + QStringLiteral(" (") +
                        right.sql + QLatin1Char(')'),
                    out.aggregate || right.aggregate);
        return true;
    }
    return true;
}

// x op ANY (SELECT ...) is true when some row compares true, x op ALL (...) when none compares
// false; otherwise Null when some comparison is Null, as SQL's three-valued logic has it.
bool AccessExprParser::quantified(SqlPiece& out, const char* op) {
    const bool all = isWord("All");
    ++m_pos;
    if (!isSubqueryAhead()) {
        return fail(Failure(QueryFault::NoSubqueryAfter, {m_tokens[m_pos - 1].text}));
    }
    SqlPiece rows;
    if (!subquery(SubqueryUse::Column, rows)) {
        return false;
    }
    const QString test =
        collated(out) + QLatin1Char(' ') + QLatin1String(op) + QStringLiteral(" q_.o1");
    const QString from =
        QStringLiteral("(SELECT 1 FROM (") + rows.sql + QStringLiteral(") AS q_ WHERE ");
    const QString decided =
        from + (all ? QStringLiteral("NOT (") + test + QLatin1Char(')') : test) + QLatin1Char(')');
    const QString unknown = from + QLatin1Char('(') + test + QStringLiteral(") IS NULL)");
    out = {QStringLiteral("(CASE WHEN EXISTS ") + decided +
               (all ? QStringLiteral(" THEN 0") : QStringLiteral(" THEN -1")) +
               QStringLiteral(" WHEN EXISTS ") + unknown + QStringLiteral(" THEN NULL ELSE ") +
               (all ? QStringLiteral("-1") : QStringLiteral("0")) + QStringLiteral(" END)"),
           Kind::Boolean, out.aggregate};
    return true;
}

bool AccessExprParser::isNullTest(SqlPiece& out, bool& matched) {
    if (!isWord("Is")) {
        return true;
    }
    ++m_pos;
    matched = true;
    const bool negated = isWord("Not");
    if (negated) {
        ++m_pos;
    }
    if (!isWord("Null")) {
        return fail(Failure(QueryFault::NoNullAfterIs));
    }
    ++m_pos;
    out = truth(QLatin1Char('(') + out.sql +
                    (negated ? QStringLiteral(") IS NOT NULL") : QStringLiteral(") IS NULL")),
                out.aggregate);
    return true;
}

bool AccessExprParser::likeBetweenIn(SqlPiece& out, bool& matched) {
    const bool negated =
        isWord("Not") && (isWord("Like", 1) || isWord("Between", 1) || isWord("In", 1));
    const int at = negated ? 1 : 0;
    if (isWord("Like", at)) {
        m_pos += at + 1;
        matched = true;
        SqlPiece pattern;
        if (!concat(pattern)) {
            return false;
        }
        QString like = QStringLiteral("ak_like(") + out.sql + QStringLiteral(", ") + pattern.sql +
                       QLatin1Char(')');
        out = {negated ? QStringLiteral("ak_not(") + like + QLatin1Char(')') : like, Kind::Boolean,
               out.aggregate || pattern.aggregate};
        return true;
    }
    if (isWord("Between", at)) {
        m_pos += at + 1;
        matched = true;
        return between(out, negated);
    }
    if (isWord("In", at)) {
        m_pos += at + 1;
        matched = true;
        return inList(out, negated);
    }
    return true;
}

bool AccessExprParser::between(SqlPiece& out, bool negated) {
    SqlPiece low, high;
    if (!concat(low)) {
        return false;
    }
    if (!isWord("And")) {
        return fail(Failure(QueryFault::NoAndAfterBetween));
    }
    ++m_pos;
    if (!concat(high)) {
        return false;
    }
    matchKinds(out, low);
    matchKinds(out, high);
    out = truth(collated(out) +
                    (negated ? QStringLiteral(" NOT BETWEEN (") : QStringLiteral(" BETWEEN (")) +
                    low.sql + QStringLiteral(") AND (") + high.sql + QLatin1Char(')'),
                out.aggregate || low.aggregate || high.aggregate);
    return true;
}

bool AccessExprParser::inList(SqlPiece& out, bool negated) {
    const QString in = negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (");
    if (isSubqueryAhead()) {
        SqlPiece rows;
        if (!subquery(SubqueryUse::Column, rows)) {
            return false;
        }
        out = truth(collated(out) + in + rows.sql + QLatin1Char(')'), out.aggregate);
        return true;
    }
    if (!expect("(")) {
        return false;
    }
    QStringList items;
    bool aggregate = out.aggregate;
    do {
        SqlPiece item;
        if (!expression(item)) {
            return false;
        }
        matchKinds(out, item);
        items << item.sql;
        aggregate = aggregate || item.aggregate;
    } while (isSymbol(",") && ++m_pos);
    if (!expect(")")) {
        return false;
    }
    out =
        truth(collated(out) + in + items.join(QStringLiteral(", ")) + QLatin1Char(')'), aggregate);
    return true;
}

bool AccessExprParser::isSubqueryAhead() const {
    return isSymbol("(") && isWord("Select", 1);
}

bool AccessExprParser::subquery(SubqueryUse use, SqlPiece& out) {
    // The subquery runs to the ")" that closes the "(" before it.
    const size_t open = m_pos;
    int depth = 0;
    size_t close = open;
    for (; close < m_tokens.size() && m_tokens[close].type != AccessToken::Type::End; ++close) {
        const AccessToken& t = m_tokens[close];
        if (t.type == AccessToken::Type::Symbol && t.text == QLatin1String("(")) {
            ++depth;
        } else if (t.type == AccessToken::Type::Symbol && t.text == QLatin1String(")") &&
                   --depth == 0) {
            break;
        }
    }
    if (depth != 0) {
        return fail(Failure(QueryFault::UnclosedSubquery));
    }
    const int from = m_tokens[open + 1].begin;
    Result<SqlPiece> translated =
        m_names.subquery(m_text.mid(from, m_tokens[close].begin - from), use);
    if (!translated) {
        return fail(translated.takeFailure());
    }
    m_pos = close + 1;
    out = std::move(translated).value();
    return true;
}

bool AccessExprParser::concat(SqlPiece& out) {
    if (!additive(out)) {
        return false;
    }
    while (isSymbol("&")) {
        ++m_pos;
        SqlPiece right;
        if (!additive(right)) {
            return false;
        }
        out = {QStringLiteral("ak_concat(%1, %2, %3, %4)")
                   .arg(out.sql, QString::number(kindCode(out.kind)), right.sql,
                        QString::number(kindCode(right.kind))),
               Kind::Text, out.aggregate || right.aggregate};
    }
    return true;
}

DbValue::Kind AccessExprParser::arithmeticKind(Kind a, Kind b, bool dateAllowed) {
    if (dateAllowed && ((a == Kind::DateTime && isNumericKind(b) && b != Kind::DateTime) ||
                        (b == Kind::DateTime && isNumericKind(a) && a != Kind::DateTime))) {
        return Kind::DateTime;
    }
    if (!isNumericKind(a) || !isNumericKind(b)) {
        return Kind::Null;
    }
    if (a == Kind::Currency && (b == Kind::Currency || b == Kind::Integer)) {
        return Kind::Currency;
    }
    if (b == Kind::Currency && a == Kind::Integer) {
        return Kind::Currency;
    }
    if ((a == Kind::Integer || a == Kind::Boolean) && (b == Kind::Integer || b == Kind::Boolean)) {
        return Kind::Integer;
    }
    return Kind::Real;
}

bool AccessExprParser::additive(SqlPiece& out) {
    if (!binaryLevel(0, out)) {
        return false;
    }
    while (isSymbol("+") || isSymbol("-")) {
        const bool plus = isSymbol("+");
        ++m_pos;
        SqlPiece right;
        if (!binaryLevel(0, right)) {
            return false;
        }
        const bool aggregate = out.aggregate || right.aggregate;
        if (plus && !(isNumericKind(out.kind) && isNumericKind(right.kind))) {
            // + joins two texts in Access; the storage classes decide at run time.
            out = {QStringLiteral("ak_add(") + out.sql + QStringLiteral(", ") + right.sql +
                       QLatin1Char(')'),
                   out.kind == Kind::Text && right.kind == Kind::Text ? Kind::Text : Kind::Null,
                   aggregate};
            continue;
        }
        Kind kind = arithmeticKind(out.kind, right.kind, true);
        if (!plus && out.kind == Kind::DateTime && right.kind == Kind::DateTime) {
            kind = Kind::Real;
        }
        out = {QLatin1Char('(') + out.sql + (plus ? QStringLiteral(" + ") : QStringLiteral(" - ")) +
                   right.sql + QLatin1Char(')'),
               kind, aggregate};
    }
    return true;
}

// Mod, then \, then * and / (each binding tighter than the one before).
bool AccessExprParser::binaryLevel(int level, SqlPiece& out) {
    if (level == 3) {
        return unary(out);
    }
    if (!binaryLevel(level + 1, out)) {
        return false;
    }
    for (;;) {
        QString fn;
        if (level == 0 && isWord("Mod")) {
            fn = QStringLiteral("ak_mod");
        } else if (level == 1 && isSymbol("\\")) {
            fn = QStringLiteral("ak_intdiv");
        } else if (level == 2 && isSymbol("/")) {
            fn = QStringLiteral("ak_div");
        } else if (level == 2 && isSymbol("*")) {
            fn = QStringLiteral("*");
        } else {
            return true;
        }
        ++m_pos;
        SqlPiece right;
        if (!binaryLevel(level + 1, right)) {
            return false;
        }
        const bool aggregate = out.aggregate || right.aggregate;
        if (fn == QLatin1String("*")) {
            out = {
                QLatin1Char('(') + out.sql + QStringLiteral(" * ") + right.sql + QLatin1Char(')'),
                arithmeticKind(out.kind, right.kind, false), aggregate};
        } else {
            out = {fn + QLatin1Char('(') + out.sql + QStringLiteral(", ") + right.sql +
                       QLatin1Char(')'),
                   fn == QLatin1String("ak_div") ? Kind::Real : Kind::Integer, aggregate};
        }
    }
}

bool AccessExprParser::unary(SqlPiece& out) {
    if (isSymbol("-") || isSymbol("+")) {
        const bool minus = isSymbol("-");
        ++m_pos;
        DepthGuard guard(m_depth);
        if (m_depth > kMaxExprNesting) {
            return fail(Failure(QueryFault::NestedTooDeep));
        }
        if (!unary(out)) {
            return false;
        }
        if (minus) {
            out.sql = QStringLiteral("(-") + out.sql + QLatin1Char(')');
            out.exactSql.clear();
        }
        return true;
    }
    if (!primary(out)) {
        return false;
    }
    while (isSymbol("^")) {
        ++m_pos;
        SqlPiece right;
        if (isSymbol("-") || isSymbol("+")) {
            if (!unary(right)) {
                return false;
            }
        } else if (!primary(right)) {
            return false;
        }
        out = {QStringLiteral("ak_pow(") + out.sql + QStringLiteral(", ") + right.sql +
                   QLatin1Char(')'),
               Kind::Real, out.aggregate || right.aggregate};
    }
    return true;
}

Result<SqlPiece> translateAccessExpr(const QString& text, NameResolver& names, SqlParams& params) {
    constexpr int kMaxExpressionLength = 64 * 1024;
    if (text.size() > kMaxExpressionLength) {
        return Failure(QueryFault::ExpressionTooLong, {QString::number(text.size())});
    }
    Result<std::vector<AccessToken>> tokens = tokenizeAccessExpr(text);
    if (!tokens) {
        return tokens.takeFailure();
    }
    return AccessExprParser(text, std::move(tokens).value(), names, params).run();
}

}  // namespace korvane
