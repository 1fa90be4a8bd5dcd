#pragma once
// The reader of Access expressions behind translateAccessExpr: recursive descent over the
// tokens, writing SQLite SQL as it reads. Operators live in AccessExpr.cpp, operands (literals,
// names, calls) in AccessExprOperands.cpp.

#include <QString>
#include <algorithm>
#include <optional>
#include <vector>

#include "platform/accessquery/AccessExpr.h"
#include "platform/accessquery/AccessLexer.h"
#include "platform/accessquery/QueryFault.h"

namespace korvane {

class AccessExprParser {
public:
    using Kind = DbValue::Kind;

    AccessExprParser(const QString& text, std::vector<AccessToken> tokens, NameResolver& names,
                     SqlParams& params)
        : m_text(text), m_tokens(std::move(tokens)), m_names(names), m_params(params) {}

    Result<SqlPiece> run() {
        SqlPiece out;
        if (!expression(out)) {
            // Every step that stops calls fail() first; the fallback only keeps a slip safe.
            return m_error ? *m_error : Failure(QueryFault::ExpressionCutShort);
        }
        if (peek().type != AccessToken::Type::End) {
            return Failure(QueryFault::ExtraWord, {peek().text});
        }
        return out;
    }

private:
    const AccessToken& peek(int ahead = 0) const {
        const size_t index = std::min(m_pos + ahead, m_tokens.size() - 1);
        return m_tokens[index];
    }
    bool isSymbol(const char* s, int ahead = 0) const {
        return peek(ahead).type == AccessToken::Type::Symbol &&
               peek(ahead).text == QLatin1String(s);
    }
    bool isWord(const char* w, int ahead = 0) const {
        const AccessToken& t = peek(ahead);
        return t.type == AccessToken::Type::Name && !t.bracketed &&
               t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    }
    // The first failure stands; what fails after it only follows from it.
    bool fail(Failure failure) {
        if (!m_error) {
            m_error = std::move(failure);
        }
        return false;
    }
    bool expect(const char* symbol) {
        if (!isSymbol(symbol)) {
            return fail(Failure(QueryFault::MissingSymbol, {QString::fromLatin1(symbol)}));
        }
        ++m_pos;
        return true;
    }

    struct DepthGuard {
        explicit DepthGuard(int& d) : depth(++d) {}
        ~DepthGuard() { --depth; }
        int& depth;
    };

    bool expression(SqlPiece& out);
    // Imp, Eqv, Xor, Or, And: bitwise on numbers, which on -1/0 is the logic of truth values.
    bool logical(int level, SqlPiece& out);
    bool notLevel(SqlPiece& out);
    bool comparison(SqlPiece& out);
    // The tests that follow an operand: = < ... (also with Any/Some/All), Is Null, Like,
    // Between, In. False after fail() on a failure; `matched` false when none follows.
    bool compareOperator(SqlPiece& out, bool& matched);
    bool quantified(SqlPiece& out, const char* op);
    bool isNullTest(SqlPiece& out, bool& matched);
    bool likeBetweenIn(SqlPiece& out, bool& matched);
    bool between(SqlPiece& out, bool negated);
    bool inList(SqlPiece& out, bool negated);
    // At "(" followed by SELECT: translates the subquery up to its ")" and moves past it.
    bool isSubqueryAhead() const;
    bool subquery(SubqueryUse use, SqlPiece& out);
    bool concat(SqlPiece& out);
    static Kind arithmeticKind(Kind a, Kind b, bool dateAllowed);
    bool additive(SqlPiece& out);
    // Mod, then \, then * and / (each binding tighter than the one before).
    bool binaryLevel(int level, SqlPiece& out);
    bool unary(SqlPiece& out);
    bool primary(SqlPiece& out);
    bool name(SqlPiece& out);
    bool call(const QString& function, SqlPiece& out);

    const QString& m_text;
    std::vector<AccessToken> m_tokens;
    size_t m_pos = 0;
    int m_depth = 0;
    NameResolver& m_names;
    SqlParams& m_params;
    std::optional<Failure> m_error;
};

// Nesting deeper than this is refused before it can exhaust the stack.
constexpr int kMaxExprNesting = 64;

// Helpers shared by both halves of the parser.
bool isNumericKind(DbValue::Kind k);

}  // namespace korvane
