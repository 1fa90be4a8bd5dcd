// The engine's failures as causes: each has its words, and the cause a query fails with reaches
// the caller whether the translation found it or an Access function raised it while SQLite
// stepped the statement.

#include <gtest/gtest.h>

#include "QueryTestSupport.h"

namespace korvane::test {
namespace {

using Kind = DbValue::Kind;

TEST(QueryFailures, EveryCauseHasWords) {
    const FailureTexts& texts = failureTexts(QueryFailure{});
    for (int cause = 0; cause < static_cast<int>(QueryFailure::End); ++cause) {
        EXPECT_FALSE(texts.pattern(cause).isEmpty()) << cause;
    }
}

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

TEST(QueryFailures, TheCauseReachesTheCaller) {
    const struct {
        const char* expression;
        QueryFailure cause;
    } cases[] = {
        // Raised by the Access functions while the statement steps.
        {"I / 0", QueryFailure::DivisionByZero},
        {"Sqr(-4)", QueryFailure::SqrOfNegative},
        {"DateAdd(\"x\", 1, D)", QueryFailure::DateAddUnit},
        {"2 ^ 10000", QueryFailure::PowerNotNumber},
        {"CLng(1e30)", QueryFailure::OverflowOf},
        {"Format(I, \"0E+0\")", QueryFailure::FormatPattern},
        // Found by the translation.
        {"(SELECT I FROM T UNION SELECT I FROM T)", QueryFailure::UnionInSubquery},
        {"Foo(I)", QueryFailure::UnknownFunction},
        {"Sum(Sum(I))", QueryFailure::AggregateInAggregate},
        {"(I + 1", QueryFailure::MissingSymbol},
        {"\"open", QueryFailure::UnclosedText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        const Status run = runExpression(QString::fromUtf8(c.expression));
        ASSERT_FALSE(run);
        EXPECT_TRUE(run.failure().is(QueryFailure::CannotRun)) << run.failure().text();
        EXPECT_TRUE(run.failure().stemsFrom(c.cause)) << run.failure().text();
    }
}

TEST(QueryFailures, TheWordsAreMadeFromTheChain) {
    const Status raised = runExpression(QStringLiteral("I / 0"));
    ASSERT_FALSE(raised);
    EXPECT_EQ(raised.failure().text(),
              QStringLiteral("クエリー(q)を実行できません。原因: 0 による除算"));
    ASSERT_NE(raised.failure().inner(), nullptr);
    EXPECT_TRUE(raised.failure().inner()->is(QueryFailure::DivisionByZero));

    const Status translated = runExpression(QStringLiteral("Foo(I)"));
    ASSERT_FALSE(translated);
    EXPECT_EQ(translated.failure().text(),
              QStringLiteral("クエリー(q)を実行できません。原因: 列 Foo(I): 関数 Foo"));
}

// A value the query asks for is told as such, however deep in the query it is asked.
TEST(QueryFailures, AValueToAskForIsNamedWithTheQuery) {
    const Status run = runExpression(QStringLiteral("I + [Start Value]"));
    ASSERT_FALSE(run);
    EXPECT_TRUE(run.failure().is(QueryFailure::NeedsValue)) << run.failure().text();
    EXPECT_EQ(run.failure().details(), QStringList({"q", "[Start Value]"}));
}

}  // namespace
}  // namespace korvane::test
