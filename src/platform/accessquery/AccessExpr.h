#pragma once
// Translation of one Access SQL expression (a column, a condition, a sort key) into SQLite SQL.
// Names are resolved by the caller; text literals become bound parameters, so nothing from the
// file ever becomes SQL text of its own.

#include <QString>
#include <QStringList>

#include "platform/DbValue.h"

namespace korvane {

// A translated expression: SQLite SQL and the kind its values have (Null = not known; the
// value's own storage class then decides).
struct SqlPiece {
    SqlPiece() = default;
    SqlPiece(QString sqlText, DbValue::Kind valueKind = DbValue::Kind::Null,
             bool hasAggregate = false)
        : sql(std::move(sqlText)), kind(valueKind), aggregate(hasAggregate) {}

    QString sql;
    DbValue::Kind kind = DbValue::Kind::Null;
    bool aggregate = false;  // contains an aggregate function
    // For a bare column of currency or decimal values: the SQL of the value in its exact stored
    // form (ten-thousandths, decimal digits), while `sql` gives it as a REAL to compute with.
    QString exactSql;
};

// Text literals of one statement, bound as ?1, ?2, ...
struct SqlParams {
    QStringList texts;
    QString add(const QString& text) {
        texts << text;
        return QLatin1Char('?') + QString::number(texts.size());
    }
};

class NameResolver {
public:
    virtual ~NameResolver() = default;
    // `qualifier` is empty for a bare name. Returns false with `error` set when the name is
    // unknown or ambiguous.
    virtual bool resolveName(const QString& qualifier, const QString& name, SqlPiece& out,
                             QString& error) = 0;
};

// Translates `text`. On failure `error` names the construct (e.g. "関数 Foo", "サブクエリー").
bool translateAccessExpr(const QString& text, NameResolver& names, SqlParams& params, SqlPiece& out,
                         QString& error);

// The collation every text comparison uses: case-insensitive for all of Unicode.
constexpr const char* kTextCollation = "ak_text";

// The kind code passed to the SQL functions that turn a value into text (see SqlFunctions).
int kindCode(DbValue::Kind kind);

}  // namespace korvane
