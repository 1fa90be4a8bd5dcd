#include "platform/accessquery/AccessSelectParser.h"

#include <initializer_list>

#include "platform/accessquery/AccessLexer.h"
#include "platform/accessquery/QueryFault.h"

namespace korvane {

namespace {

using Stops = std::initializer_list<const char*>;

// Words that end an expression or a source; never an alias unless bracketed.
const char* const kReserved[] = {"SELECT", "FROM", "WHERE", "GROUP", "HAVING", "ORDER",
                                 "INNER",  "LEFT", "RIGHT", "JOIN",  "ON",     "AS",
                                 "UNION",  "IN",   "OUTER", "BY",    "ASC",    "DESC"};

class SelectParser {
public:
    SelectParser(const QString& text, std::vector<AccessToken> tokens)
        : m_text(text), m_tokens(std::move(tokens)) {}

    Result<QueryDefinition> run() {
        m_def.type = static_cast<int>(QueryType::Select);
        if (!word("SELECT")) {
            return Failure(QueryFault::SubqueryNotSelect);
        }
        using Step = Status (SelectParser::*)();
        for (Step step : {&SelectParser::head, &SelectParser::columns, &SelectParser::from,
                          &SelectParser::clauses}) {
            if (Status done = (this->*step)(); !done) {
                return done.takeFailure();
            }
        }
        if (isSymbol(";")) {
            ++m_pos;
        }
        if (peek().type != AccessToken::Type::End) {
            return Failure(QueryFault::SubqueryExtraWord, {peek().text});
        }
        return std::move(m_def);
    }

private:
    const AccessToken& peek(size_t ahead = 0) const {
        return m_tokens[std::min(m_pos + ahead, m_tokens.size() - 1)];
    }
    bool isWord(const char* w, size_t ahead = 0) const {
        const AccessToken& t = peek(ahead);
        return t.type == AccessToken::Type::Name && !t.bracketed &&
               t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(const char* s) const {
        return peek().type == AccessToken::Type::Symbol && peek().text == QLatin1String(s);
    }
    bool word(const char* w) {
        if (!isWord(w)) {
            return false;
        }
        ++m_pos;
        return true;
    }
    bool isReserved(size_t ahead = 0) const {
        for (const char* w : kReserved) {
            if (isWord(w, ahead)) {
                return true;
            }
        }
        return false;
    }
    // What should come here but does not: a keyword, or one of the parts a cause names.
    Failure expected(const char* keyword) const {
        if (peek().type == AccessToken::Type::End) {
            return Failure(QueryFault::ExpectedWordAtEnd, {QString::fromLatin1(keyword)});
        }
        return Failure(QueryFault::ExpectedWord, {QString::fromLatin1(keyword), peek().text});
    }
    Failure expected(QueryFault found, QueryFault atEnd) const {
        if (peek().type == AccessToken::Type::End) {
            return Failure(atEnd);
        }
        return Failure(found, {peek().text});
    }

    // The text of the expression from here to the first of `stops`, a "," or an unmatched ")"
    // outside parentheses.
    Result<QString> expression(Stops stops) {
        const size_t start = m_pos;
        int depth = 0;
        for (; peek().type != AccessToken::Type::End; ++m_pos) {
            if (depth == 0 && (isSymbol(",") || isSymbol(")") || isSymbol(";"))) {
                break;
            }
            bool stop = false;
            for (const char* w : stops) {
                stop = stop || (depth == 0 && isWord(w));
            }
            if (stop) {
                break;
            }
            depth += isSymbol("(") ? 1 : isSymbol(")") ? -1 : 0;
        }
        if (m_pos == start) {
            return expected(QueryFault::ExpectedExpression, QueryFault::ExpectedExpressionAtEnd);
        }
        const int from = m_tokens[start].begin;
        return m_text.mid(from, m_tokens[m_pos - 1].end - from);
    }

    Status head() {
        if (word("DISTINCT")) {
            m_def.selectFlags |= SelectFlag::Distinct;
        } else if (word("DISTINCTROW")) {
            m_def.selectFlags |= SelectFlag::DistinctRow;
        } else {
            word("ALL");
        }
        if (!word("TOP")) {
            return Done{};
        }
        if (peek().type != AccessToken::Type::Number) {
            return expected(QueryFault::ExpectedTopValue, QueryFault::ExpectedTopValueAtEnd);
        }
        m_def.selectFlags |= SelectFlag::Top;
        m_def.topValue = peek().text.isEmpty() ? QString::number(peek().number) : peek().text;
        ++m_pos;
        if (word("PERCENT")) {
            m_def.selectFlags |= SelectFlag::Percent;
        }
        return Done{};
    }

    Status columns() {
        do {
            if (isSymbol("*")) {
                ++m_pos;
                m_def.selectFlags |= SelectFlag::Star;
                continue;
            }
            Result<QString> column = expression({"FROM", "AS"});
            if (!column) {
                return column.takeFailure();
            }
            QueryColumnDef def{column.value(), QString()};
            if (word("AS")) {
                if (peek().type != AccessToken::Type::Name) {
                    return expected(QueryFault::ExpectedAlias, QueryFault::ExpectedAliasAtEnd);
                }
                def.alias = peek().text;
                ++m_pos;
            }
            m_def.columns.push_back(def);
        } while (isSymbol(",") && ++m_pos);
        return Done{};
    }

    Status from() {
        if (!word("FROM")) {
            return expected("FROM");
        }
        do {
            QStringList keys;
            if (Status item = fromItem(keys); !item) {
                return item;
            }
        } while (isSymbol(",") && ++m_pos);
        return Done{};
    }

    // A source, then the joins that follow it; `keys` gets the names of the sources it holds.
    Status fromItem(QStringList& keys) {
        if (Status first = source(keys); !first) {
            return first;
        }
        for (;;) {
            int kind = 1;
            if (word("LEFT")) {
                kind = 2;
            } else if (word("RIGHT")) {
                kind = 3;
            } else if (!word("INNER")) {
                if (!isWord("JOIN")) {
                    return Done{};
                }
            }
            word("OUTER");
            if (!word("JOIN")) {
                return expected("JOIN");
            }
            QStringList right;
            if (Status joined = source(right); !joined) {
                return joined;
            }
            if (!word("ON")) {
                return expected("ON");
            }
            Result<QString> on =
                expression({"INNER", "LEFT", "RIGHT", "JOIN", "WHERE", "GROUP", "HAVING", "ORDER"});
            if (!on) {
                return on.takeFailure();
            }
            // The joins inside each side were added first, so the sides are whole items by the
            // time this one joins them.
            m_def.joins.push_back({keys.front(), right.front(), on.value(), kind});
            keys << right;
        }
    }

    Status source(QStringList& keys) {
        QuerySourceDef def;
        if (isSymbol("(") && isWord("SELECT", 1)) {
            Result<QString> inner = parenthesized();
            if (!inner) {
                return inner.takeFailure();
            }
            def.subquery = inner.value();
        } else if (const QString access97 = bracketedSelect(); !access97.isEmpty()) {
            def.subquery = access97;
            m_pos += 2;
        } else if (isSymbol("(")) {
            ++m_pos;
            if (Status nested = fromItem(keys); !nested) {
                return nested;
            }
            if (!isSymbol(")")) {
                return expected("')'");
            }
            ++m_pos;
            return Done{};
        } else if (peek().type == AccessToken::Type::Name && !isReserved()) {
            def.name = peek().text;
            ++m_pos;
        } else {
            return expected(QueryFault::ExpectedTableName, QueryFault::ExpectedTableNameAtEnd);
        }
        if (isWord("IN")) {
            return Failure(QueryFault::ExternalDatabase);
        }
        const bool as = word("AS");
        if (peek().type == AccessToken::Type::Name && (peek().bracketed || !isReserved())) {
            def.alias = peek().text;
            ++m_pos;
        } else if (as) {
            return expected(QueryFault::ExpectedAlias, QueryFault::ExpectedAliasAtEnd);
        }
        if (def.key().isEmpty()) {
            def.alias = QStringLiteral("Expr%1").arg(m_def.sources.size() + 1);
        }
        keys << def.key();
        m_def.sources.push_back(def);
        return Done{};
    }

    // Access 97's derived table "[SELECT ...]." (the period is part of it): the SELECT.
    QString bracketedSelect() const {
        const AccessToken& period = peek(1);
        if (!peek().bracketed || period.type != AccessToken::Type::Symbol ||
            period.text != QLatin1String(".")) {
            return QString();
        }
        return derivedTableSelect(peek().text);
    }

    // "(SELECT ...)": the text inside the parentheses.
    Result<QString> parenthesized() {
        const size_t open = m_pos;
        int depth = 0;
        do {
            depth += isSymbol("(") ? 1 : isSymbol(")") ? -1 : 0;
            ++m_pos;
        } while (depth > 0 && peek().type != AccessToken::Type::End);
        if (depth > 0) {
            return expected("')'");
        }
        const int from = m_tokens[open + 1].begin;
        return m_text.mid(from, m_tokens[m_pos - 1].begin - from);
    }

    Status clauses() {
        if (word("WHERE")) {
            Result<QString> where = expression({"GROUP", "HAVING", "ORDER", "UNION"});
            if (!where) {
                return where.takeFailure();
            }
            m_def.where = where.value();
        }
        if (word("GROUP")) {
            if (!word("BY")) {
                return expected("BY");
            }
            do {
                Result<QString> key = expression({"HAVING", "ORDER", "UNION"});
                if (!key) {
                    return key.takeFailure();
                }
                m_def.groupBy << key.value();
            } while (isSymbol(",") && ++m_pos);
        }
        if (word("HAVING")) {
            Result<QString> having = expression({"ORDER", "UNION"});
            if (!having) {
                return having.takeFailure();
            }
            m_def.having = having.value();
        }
        if (isWord("UNION")) {
            return Failure(QueryFault::UnionInSubquery);
        }
        if (!word("ORDER")) {
            return Done{};
        }
        if (!word("BY")) {
            return expected("BY");
        }
        do {
            Result<QString> key = expression({"ASC", "DESC"});
            if (!key) {
                return key.takeFailure();
            }
            const bool descending = word("DESC");
            if (!descending) {
                word("ASC");
            }
            m_def.orderBy.push_back({key.value(), descending});
        } while (isSymbol(",") && ++m_pos);
        return Done{};
    }

    const QString& m_text;
    std::vector<AccessToken> m_tokens;
    size_t m_pos = 0;
    QueryDefinition m_def;
};

}  // namespace

Result<QueryDefinition> parseAccessSelect(const QString& text) {
    Result<std::vector<AccessToken>> tokens = tokenizeAccessExpr(text);
    if (!tokens) {
        return tokens.takeFailure();
    }
    return SelectParser(text, std::move(tokens).value()).run();
}

}  // namespace korvane
