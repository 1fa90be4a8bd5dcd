#pragma once
// Translation of one Access SQL expression (a column, a condition, a sort key) into SQLite SQL.
// Names are resolved by the caller; text literals become bound parameters, so nothing from the
// file ever becomes SQL text of its own.

#include <QString>
#include <QStringList>
#include <vector>

#include "platform/DbValue.h"
#include "platform/Result.h"

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
    // For a truth value that is a test (a comparison, Is Null, Like, In, Between, Exists, or
    // And / Or / Not of tests): the same test as a plain SQL condition (true, false or NULL).
    // Where only the truth matters (ON, WHERE, HAVING) SQLite can reach rows through an index
    // by it, never through the -1/0 value -(a = b). It stands only for `conditionOf`: a piece
    // whose SQL was changed afterwards has none.
    QString condition;
    QString conditionOf;

    void setCondition(const QString& test) {
        condition = test;
        conditionOf = sql;
    }
    bool hasCondition() const { return !condition.isEmpty() && conditionOf == sql; }
    // The SQL to filter rows with.
    const QString& filterSql() const { return hasCondition() ? condition : sql; }
};

// Text literals and the values a query asked for, bound as ?1, ?2, ...
struct SqlParams {
    std::vector<DbValue> values;
    QString add(const QString& text) {
        DbValue value;
        value.kind = DbValue::Kind::Text;
        value.text = text;
        return add(value);
    }
    QString add(const DbValue& value) {
        values.push_back(value);
        return QLatin1Char('?') + QString::number(values.size());
    }
};

// A name as an expression writes it: one to three parts ("City", "Customers.City",
// "Forms!Customers!CustomerID") and the text as written, to name it in messages.
struct NameRef {
    QStringList parts;
    QString written;
};

// How an expression uses a subquery.
enum class SubqueryUse {
    Value,   // (SELECT ...) as one value: one column, at most one row
    Column,  // IN, ANY, SOME, ALL: one column, any number of rows
    Rows,    // EXISTS: rows of any shape
};

class NameResolver {
public:
    virtual ~NameResolver() = default;
    // The SQL of a name; a failure when the name is unknown or ambiguous.
    virtual Result<SqlPiece> resolveName(const NameRef& name) = 0;
    // The SQL SELECT (without parentheses) of the subquery `selectText`, a SELECT statement in
    // Access SQL, with the kind of its first column.
    virtual Result<SqlPiece> subquery(const QString& selectText, SubqueryUse use) = 0;
    // `left` = `right` is a test of the query (a join, a look-up): a bare column of a table
    // on either side may want an index.
    virtual void comparedForEquality(const SqlPiece& left, const SqlPiece& right) {
        (void)left;
        (void)right;
    }
};

// Translates `text`. A failure names the construct (e.g. "関数 Foo").
Result<SqlPiece> translateAccessExpr(const QString& text, NameResolver& names, SqlParams& params);

// The collation every text comparison uses: Access's text order (see AccessTextOrder.h).
constexpr const char* kTextCollation = "ak_text";

// The kind code passed to the SQL functions that turn a value into text (see SqlFunctions).
int kindCode(DbValue::Kind kind);

}  // namespace korvane
