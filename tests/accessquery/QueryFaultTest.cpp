// The engine's failures as causes with their words.

#include <gtest/gtest.h>

#include "QueryTestSupport.h"

namespace korvane::test {
namespace {

using Kind = DbValue::Kind;

Status runExpression(const QString& expression) {
    QueryCatalogue catalogue;
    catalogue.objects.push_back({1, "T", 1, 0});
    addSelectQuery(catalogue, 2, "q", {"T"}, {expression});
    MemoryTables tables;
    MemoryTable& t = tables.tables["T"];
    t.columns = {{"I", Kind::Integer}, {"D", Kind::DateTime}};
    t.rows = {{integerValue(7), dateValue(2024, 3, 15)}};
    CollectingSink sink;
    return runSelectQuery("q", catalogue, tables, sink);
}

// Every cause has its words, and the cause a query fails with reaches the caller under the one
// failure that names the query, whether the translation found it or an Access function raised it
// while SQLite stepped the statement.
TEST(QueryFaults, EveryCauseHasWordsAndReachesTheCaller) {
    const FailureTexts& texts = failureTexts(QueryFault{});
    for (int cause = 0; cause < static_cast<int>(QueryFault::Count); ++cause) {
        EXPECT_FALSE(texts.pattern(cause).isEmpty()) << cause;
    }
    const struct {
        const char* expression;
        QueryFault cause;
    } cases[] = {
        // Raised by the Access functions while the statement steps.
        {"I / 0", QueryFault::DivisionByZero},
        {"Sqr(-4)", QueryFault::SqrOfNegative},
        {"DateAdd(\"x\", 1, D)", QueryFault::DateAddUnit},
        {"2 ^ 10000", QueryFault::PowerNotNumber},
        {"CLng(1e30)", QueryFault::OverflowOf},
        {"Format(I, \"0E+0\")", QueryFault::FormatPattern},
        // Found by the translation.
        {"(SELECT I FROM T UNION SELECT I FROM T)", QueryFault::UnionInSubquery},
        {"Foo(I)", QueryFault::UnknownFunction},
        {"Sum(Sum(I))", QueryFault::AggregateInAggregate},
        {"(I + 1", QueryFault::MissingSymbol},
        {"\"open", QueryFault::UnclosedText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        const Status run = runExpression(QString::fromUtf8(c.expression));
        ASSERT_FALSE(run);
        EXPECT_TRUE(run.failure().is(QueryFault::CannotRun)) << run.failure().text();
        EXPECT_TRUE(run.failure().stemsFrom(c.cause)) << run.failure().text();
    }
    EXPECT_EQ(runExpression(QStringLiteral("Foo(I)")).failure().text(),
              QStringLiteral("クエリー(q)を実行できません。原因: 列 Foo(I): 関数 Foo"));
}

}  // namespace
}  // namespace korvane::test
