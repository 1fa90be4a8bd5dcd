// Operands of Access expressions: numbers, texts (bound as parameters), #dates#, True/False/
// Null, names resolved by the caller, and function calls.

#include "platform/accessquery/AccessCalls.h"
#include "platform/accessquery/AccessExprParser.h"
#include "platform/accessquery/QueryFault.h"

namespace korvane {

using Kind = DbValue::Kind;

bool AccessExprParser::primary(SqlPiece& out) {
    const AccessToken token = peek();
    switch (token.type) {
        case AccessToken::Type::Number:
            ++m_pos;
            out = token.integer ? SqlPiece{QString::number(token.integerValue), Kind::Integer}
                                : SqlPiece{QString::number(token.number, 'g', 17), Kind::Real};
            if (!token.integer && !out.sql.contains(QLatin1Char('.')) &&
                !out.sql.contains(QLatin1Char('e'))) {
                out.sql += QStringLiteral(".0");
            }
            return true;
        case AccessToken::Type::Text:
            ++m_pos;
            out = {m_params.add(token.text), Kind::Text};
            return true;
        case AccessToken::Type::Date:
            ++m_pos;
            out = {QLatin1Char('(') + QString::number(token.number, 'g', 17) +
                       QStringLiteral(" + 0.0)"),
                   Kind::DateTime};
            return true;
        case AccessToken::Type::Symbol:
            if (isSubqueryAhead()) {
                if (!subquery(SubqueryUse::Value, out)) {
                    return false;
                }
                out.sql = QLatin1Char('(') + out.sql + QLatin1Char(')');
                return true;
            }
            if (isSymbol("(")) {
                ++m_pos;
                if (!expression(out) || !expect(")")) {
                    return false;
                }
                const bool test = out.hasCondition();
                out.sql = QLatin1Char('(') + out.sql + QLatin1Char(')');
                if (test) {
                    out.setCondition(out.condition);
                }
                return true;
            }
            return fail(Failure(QueryFault::UnexpectedSymbol, {token.text}));
        case AccessToken::Type::Name:
            return name(out);
        case AccessToken::Type::End:
            return fail(Failure(QueryFault::ExpressionCutShort));
    }
    return false;
}

bool AccessExprParser::name(SqlPiece& out) {
    const AccessToken first = peek();
    ++m_pos;
    if (!first.bracketed) {
        if (first.text.compare(QLatin1String("Null"), Qt::CaseInsensitive) == 0) {
            out = {QStringLiteral("NULL"), Kind::Null};
            return true;
        }
        // Jet reads Yes/No and On/Off as True/False too, unless the word names a source.
        static const char* const truthWords[][2] = {{"True", "-1"}, {"False", "0"}, {"Yes", "-1"},
                                                    {"No", "0"},    {"On", "-1"},   {"Off", "0"}};
        if (!isSymbol(".") && !isSymbol("!") && !isSymbol("(")) {
            for (const auto& word : truthWords) {
                if (first.text.compare(QLatin1String(word[0]), Qt::CaseInsensitive) == 0) {
                    out = {QLatin1String(word[1]), Kind::Boolean};
                    return true;
                }
            }
        }
        if (first.text.compare(QLatin1String("Exists"), Qt::CaseInsensitive) == 0 &&
            isSubqueryAhead()) {
            SqlPiece rows;
            if (!subquery(SubqueryUse::Rows, rows)) {
                return false;
            }
            out = {QStringLiteral("(-(EXISTS (") + rows.sql + QStringLiteral(")))"), Kind::Boolean};
            out.setCondition(QStringLiteral("(EXISTS (") + rows.sql + QStringLiteral("))"));
            return true;
        }
        if (first.text.compare(QLatin1String("Select"), Qt::CaseInsensitive) == 0) {
            return fail(Failure(QueryFault::SelectWithoutParentheses));
        }
        if (isSymbol("(")) {
            return call(first.text, out);
        }
    }
    // Table.Column, and Forms!Form!Control: a name of up to three parts.
    NameRef ref;
    ref.parts << first.text;
    int end = first.end;
    while ((isSymbol(".") || isSymbol("!")) && ref.parts.size() < 3) {
        const AccessToken& part = peek(1);
        if (part.type != AccessToken::Type::Name) {
            return fail(Failure(QueryFault::NoNameAfter, {ref.parts.join('.'), peek().text}));
        }
        m_pos += 2;
        ref.parts << part.text;
        end = part.end;
    }
    if (isSymbol(".") || isSymbol("!")) {
        return fail(Failure(QueryFault::NameOfFourParts,
                            {m_text.mid(first.begin, peek(1).end - first.begin)}));
    }
    ref.written = m_text.mid(first.begin, end - first.begin);
    Result<SqlPiece> resolved = m_names.resolveName(ref);
    if (!resolved) {
        return fail(resolved.takeFailure());
    }
    out = std::move(resolved).value();
    return true;
}

bool AccessExprParser::call(const QString& function, SqlPiece& out) {
    ++m_pos;  // (
    std::vector<SqlPiece> args;
    if (function.compare(QLatin1String("Count"), Qt::CaseInsensitive) == 0 && isSymbol("*")) {
        ++m_pos;
        if (!expect(")")) {
            return false;
        }
        out = {QStringLiteral("count(*)"), Kind::Integer, true};
        return true;
    }
    if (!isSymbol(")")) {
        do {
            SqlPiece arg;
            if (!expression(arg)) {
                return false;
            }
            args.push_back(arg);
        } while (isSymbol(",") && ++m_pos);
    }
    if (!expect(")")) {
        return false;
    }
    Result<SqlPiece> translated = translateCall(function, args);
    if (!translated) {
        return fail(translated.takeFailure());
    }
    out = std::move(translated).value();
    return true;
}

}  // namespace korvane
