// The Access SQL of a saved query, put together from its MSysQueries rows in any order.

#include <gtest/gtest.h>

#include <algorithm>

#include "QueryTestSupport.h"

namespace korvane::test {
namespace {

const CatalogueObject& objectNamed(const QueryCatalogue& c, const QString& name) {
    return *std::find_if(c.objects.begin(), c.objects.end(),
                         [&](const CatalogueObject& o) { return o.name == name; });
}

// The SQL with its line breaks as blanks, as the fixture manifest writes it.
QString oneLine(const QString& sql) {
    return QString(sql).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
}

TEST(RebuildAccessSql, DesignedQueriesReadAsAccessShowsThem) {
    const struct {
        const char* query;
        const char* sql;  // nullptr: the rows describe no select or union query
    } cases[] = {
        {"qryTokyo", "SELECT * FROM Customers WHERE (((Customers.City)=\"東京\"));"},
        {"qryBigSum", "SELECT Count(*) AS N, Sum(Big.Value) AS Total FROM Big;"},
        {"qryJoin",
         "SELECT Customers.Name, [Order Details].Amount FROM Customers INNER JOIN [Order Details] "
         "ON Customers.ID = [Order Details].CustomerID ORDER BY [Order Details].Amount DESC;"},
        {"qryParam",
         "PARAMETERS [Which city?] Text; SELECT Customers.ID, Customers.Name FROM Customers "
         "WHERE (((Customers.City)=[Which city?]));"},
        {"qryCityCount",
         "SELECT Customers.City, Count(Customers.ID) AS CountOfID FROM Customers GROUP BY "
         "Customers.City;"},
        {"qryNested", "SELECT qryTokyo.ID, qryTokyo.Name FROM qryTokyo ORDER BY qryTokyo.ID DESC;"},
        {"qryUnion",
         "SELECT Customers.Name FROM Customers WHERE Customers.ID<=2 UNION ALL SELECT Big.Label "
         "FROM Big WHERE Big.ID<=2;"},
        {"qryDate",
         "SELECT Customers.ID, Customers.Joined FROM Customers WHERE "
         "(((Customers.Joined)>=#1/1/2005#)) ORDER BY Customers.Joined;"},
        {"qryUpdate", nullptr},
        {"qryCrosstab", nullptr},
    };
    const DesignedDatabase db = designedDatabase();
    std::vector<QueryDefRow> shuffled = db.catalogue.queryRows;
    std::reverse(shuffled.begin(), shuffled.end());  // rows come in any order in a file
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query);
        const Result<QString> sql =
            rebuildAccessSql(objectNamed(db.catalogue, QString::fromUtf8(c.query)).id, shuffled);
        if (!c.sql) {
            ASSERT_FALSE(sql);
            EXPECT_TRUE(sql.failure().is(QueryFault::NotSelectType)) << sql.failure().text();
            continue;
        }
        ASSERT_TRUE(sql) << sql.failure().text();
        EXPECT_EQ(oneLine(sql.value()), QString::fromUtf8(c.sql));
    }
}

TEST(RebuildAccessSql, ShapesOfSelectAndUnion) {
    const struct {
        const char* name;
        std::vector<QueryDefRow> rows;
        const char* sql;
    } cases[] = {
        {"nested joins with two conditions and DISTINCT",
         {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 2), r(5, 1, "Table1", {}, {}),
          r(5, 2, "Table2", {}, {}), r(5, 3, "Table3", {}, {}), r(6, 1, {}, {}, "Table1.*", 0),
          r(6, 2, {}, {}, "Table2.col1", 0),
          r(7, 1, "Table1", "Table3", "Table1.col1 = Table3.col1", 2),
          r(7, 2, "Table3", "Table2", "Table3.col1 = Table2.col2", 1),
          r(7, 3, "Table3", "Table2", "Table3.col1 = Table2.col1", 1),
          r(11, 1, {}, {}, "Table2.col1")},
         "SELECT DISTINCT Table1.*, Table2.col1 FROM (Table1 LEFT JOIN Table3 ON Table1.col1 = "
         "Table3.col1) INNER JOIN Table2 ON (Table3.col1 = Table2.col2) AND (Table3.col1 = "
         "Table2.col1) ORDER BY Table2.col1;"},
        {"TOP PERCENT, alias, RIGHT JOIN, HAVING",
         {r(1, 1, {}, {}, {}, 1), r(3, 1, "25", {}, {}, 16 | 32), r(5, 1, "A", "x", {}),
          r(5, 2, "My Table", {}, {}), r(6, 1, "Total", {}, "Sum(x.v)", 0),
          r(7, 1, "x", "My Table", "x.id = [My Table].id", 3), r(9, 1, {}, {}, "x.k"),
          r(10, 1, {}, {}, "Sum(x.v)>1")},
         "SELECT TOP 25 PERCENT Sum(x.v) AS Total FROM A AS x RIGHT JOIN [My Table] ON x.id = "
         "[My Table].id GROUP BY x.k HAVING Sum(x.v)>1;"},
        {"UNION (not ALL)",
         {r(1, 1, {}, {}, {}, 9), r(3, 1, {}, {}, {}, 3),
          r(5, 2, {}, "X7YZ_____2", "SELECT b FROM B"),
          r(5, 1, {}, "X7YZ_____1", "SELECT a FROM A")},
         "SELECT a FROM A UNION SELECT b FROM B;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QueryCatalogue catalogue;
        addQuery(catalogue, 7, "q", 0, c.rows);
        const Result<QString> sql = rebuildAccessSql(7, catalogue.queryRows);
        ASSERT_TRUE(sql) << sql.failure().text();
        EXPECT_EQ(oneLine(sql.value()), QString::fromUtf8(c.sql));
    }
}

TEST(RebuildAccessSql, OrderCountersCompareAsBigEndianNumbers) {
    // Order 0x00000100 (256) comes after 0x000000FF (255) although its first bytes are smaller.
    QueryCatalogue catalogue;
    addQuery(catalogue, 7, "q", 0,
             {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 0), r(5, 1, "T", {}, {}),
              r(6, 256, {}, {}, "second", 0), r(6, 255, {}, {}, "first", 0)});
    const Result<QString> sql = rebuildAccessSql(7, catalogue.queryRows);
    ASSERT_TRUE(sql) << sql.failure().text();
    EXPECT_EQ(oneLine(sql.value()), QStringLiteral("SELECT first, second FROM T;"));
}

TEST(RebuildAccessSql, ContradictoryRowsAreErrors) {
    const struct {
        const char* name;
        std::vector<QueryDefRow> rows;
        QueryFault cause;
    } cases[] = {
        {"two type rows",
         {r(1, 1, {}, {}, {}, 1), r(1, 2, {}, {}, {}, 1)},
         QueryFault::TypeRowTwice},
        {"join of a table not in FROM",
         {r(1, 1, {}, {}, {}, 1), r(5, 1, "A", {}, {}), r(7, 1, "A", "B", "A.x=B.x", 1)},
         QueryFault::JoinTableNotInFrom},
        {"join kind 0",
         {r(1, 1, {}, {}, {}, 1), r(5, 1, "A", {}, {}), r(5, 2, "B", {}, {}),
          r(7, 1, "A", "B", "A.x=B.x", 0)},
         QueryFault::UnknownJoinKind},
        {"action query", {r(1, 1, {}, {}, {}, 5), r(5, 1, "A", {}, {})}, QueryFault::NotSelectType},
        {"no rows at all", {}, QueryFault::NotSelectType},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QueryCatalogue catalogue;
        addQuery(catalogue, 7, "q", 0, c.rows);
        const Result<QString> sql = rebuildAccessSql(7, catalogue.queryRows);
        ASSERT_FALSE(sql);
        EXPECT_TRUE(sql.failure().is(c.cause)) << sql.failure().text();
    }
}

}  // namespace
}  // namespace korvane::test
