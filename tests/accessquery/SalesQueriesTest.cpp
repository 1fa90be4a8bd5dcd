// The saved queries of a sales database laid out as Access applications lay theirs out (six
// tables joined in nested INNER JOINs, queries built on saved queries, DISTINCTROW TOP, a
// correlated NOT EXISTS) through the data-access component, at two sizes: every query that
// needs no value gives the rows an independent count of the tables gives. The large file
// (a quarter of a million order lines) is a shared fixture: a plan that scans a table once per
// row of another reaches the work limit there long before it ends.

#include <gtest/gtest.h>

#include "platform/mdb/DataAccess.h"
#include "platform/mdb/DbValueText.h"
#include "support/TestFiles.h"

namespace korvane {
namespace {

struct SalesCase {
    const char* query;
    int smallRows;
    int largeRows;
    // The first row's cells in the small and the large file, when its order is fixed.
    QStringList smallFirst;
    QStringList largeFirst;
};

const SalesCase kSalesCases[] = {
    {"Line Amounts", 4935, 247472, {}, {}},
    {"Order Totals", 2000, 100000, {}, {}},
    {"Order Lines Full", 4935, 247472, {}, {}},
    {"Group Sales 2024", 100, 100, {}, {}},
    {"Large Orders", 1132, 56195, {"14608.26"}, {"15844.87"}},
    {"Top Ten Orders", 10, 10, {"101964", "14608.26"}, {"107755", "15844.87"}},
    {"Items Above Average", 47, 47, {}, {}},
    {"Customers Without 2025 Orders", 10, 10, {"AN119"}, {"AN119"}},
    {"Seller Totals", 12, 12, {"Aiko Alderson", "166"}, {"Aiko Alderson", "8333"}},
    {"Customers By Name", 120, 120, {"Åland Maple Trading"}, {"Åland Maple Trading"}},
};

bool openDatabase(Connection& connection, const QString& path) {
    connection.ConnectionString =
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path;
    return connection.Open();
}

// The rows left in the recordset; -1 when reading one fails.
int countRows(Recordset& rs) {
    int rows = 0;
    while (!rs.Eof()) {
        ++rows;
        if (!rs.MoveNext()) {
            return -1;
        }
    }
    return rows;
}

void expectQueries(const QString& path, bool large) {
    Connection connection;
    ASSERT_TRUE(openDatabase(connection, path)) << connection.errorDescription();
    for (const SalesCase& c : kSalesCases) {
        SCOPED_TRACE(c.query);
        Recordset rs;
        ASSERT_TRUE(rs.Open(QString::fromUtf8(c.query), connection)) << rs.errorDescription();
        const QStringList& first = large ? c.largeFirst : c.smallFirst;
        for (int i = 0; i < first.size() && !rs.Eof(); ++i) {
            EXPECT_EQ(DbValueText(rs.fields().Item(i)->Value()), first[i]);
        }
        EXPECT_EQ(countRows(rs), large ? c.largeRows : c.smallRows) << rs.errorDescription();
    }
}

TEST(SalesQueries, EveryQueryGivesItsRows) {
    expectQueries(testing::testDataFile("sales_jet4.mdb"), false);
}

TEST(SalesQueries, EveryQueryGivesItsRowsAtFiftyTimesTheSize) {
    KORVANE_FIXTURE(path, "mdb/sales_scale_jet4.mdb");
    expectQueries(path, true);
}

// The parameter queries with their values given (names as the query writes them, brackets and
// letter case aside), and without one: the message names the first value missing.
struct ParameterCase {
    const char* query;
    std::vector<QueryValue> values;
    int smallRows;
    int largeRows;
    const char* failure;  // the message when the query cannot run, or nullptr
};

void expectParameterQueries(const QString& path, bool large) {
    const ParameterCase cases[] = {
        {"Orders For Customer", {{"Forms!Customers!CustomerID", "AL000"}}, 18, 909, nullptr},
        {"Orders For Customer", {{"[forms]![customers]![customerid]", "AL000"}}, 18, 909, nullptr},
        {"Orders In Period",
         {{"Start Date", "2024/01/01"}, {"End Date", "#1/31/2024#"}},
         42,
         2123,
         nullptr},
        {"Orders In Period",
         {{"End Date", "2024/01/31"}},
         0,
         0,
         "クエリー(Orders In Period)は値 [Start Date] の入力を必要とします。"},
    };
    Connection connection;
    ASSERT_TRUE(openDatabase(connection, path)) << connection.errorDescription();
    {
        Result<QStringList> asked = connection.QueryParameters(QStringLiteral("Orders In Period"));
        ASSERT_TRUE(asked.ok()) << asked.failure().text();
        EXPECT_EQ(asked.value(), QStringList({"Start Date", "End Date"}));
    }
    for (const ParameterCase& c : cases) {
        SCOPED_TRACE(c.query);
        Recordset rs;
        rs.queryOptions.values = c.values;
        const bool opened = rs.Open(QString::fromUtf8(c.query), connection);
        if (c.failure) {
            EXPECT_FALSE(opened);
            EXPECT_EQ(rs.errorDescription(), QString::fromUtf8(c.failure));
            continue;
        }
        ASSERT_TRUE(opened) << rs.errorDescription();
        EXPECT_EQ(countRows(rs), large ? c.largeRows : c.smallRows) << rs.errorDescription();
    }
}

TEST(SalesQueries, ParameterQueriesRunWithTheirValues) {
    expectParameterQueries(testing::testDataFile("sales_jet4.mdb"), false);
}

TEST(SalesQueries, ParameterQueriesRunWithTheirValuesAtFiftyTimesTheSize) {
    KORVANE_FIXTURE(path, "mdb/sales_scale_jet4.mdb");
    expectParameterQueries(path, true);
}

// What is typed for a value, read as Access reads it.
TEST(SalesQueries, TypedValuesReadAsNumbersDatesOrText) {
    using Kind = DbValue::Kind;
    struct Case {
        const char* typed;
        Kind kind;
        double number;  // the integer, real or date serial
        const char* text;
    };
    const Case cases[] = {
        {"42", Kind::Integer, 42, ""},
        {" -7 ", Kind::Integer, -7, ""},
        {"1.5", Kind::Real, 1.5, ""},
        {"2024/01/31", Kind::DateTime, 45322, ""},
        {"#1/31/2024#", Kind::DateTime, 45322, ""},
        {"AL000", Kind::Text, 0, "AL000"},
        {"1/2/3/4", Kind::Text, 0, "1/2/3/4"},
        {"", Kind::Null, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const DbValue value = readTypedValue(QString::fromUtf8(c.typed));
        EXPECT_EQ(value.kind, c.kind);
        if (c.kind == Kind::Integer) {
            EXPECT_EQ(value.integer, static_cast<int64_t>(c.number));
        } else if (c.kind == Kind::Real || c.kind == Kind::DateTime) {
            EXPECT_DOUBLE_EQ(value.real, c.number);
        } else if (c.kind == Kind::Text) {
            EXPECT_EQ(value.text, QString::fromUtf8(c.text));
        }
    }
}

}  // namespace
}  // namespace korvane
