// Each saved query of the designed database gives the rows the fixture manifest lists, or an
// error naming what the engine cannot run.

#include <gtest/gtest.h>

#include <algorithm>

#include "QueryTestSupport.h"

namespace korvane::test {
namespace {

struct DesignedCase {
    const char* query;
    QStringList columns;
    QStringList rows;             // "a|b" per row, in the expected order
    bool ordered = true;          // false: the query has no ORDER BY, compare as a set
    const char* error = nullptr;  // expected part of the error instead of rows
};

const DesignedCase kCases[] = {
    {"qryTokyo",
     {"ID", "Name", "City", "Joined", "Balance", "Active", "Notes"},
     {"1|Alice|東京|2001/04/01|1234.5|True|a,b",
      "4|山田太郎|東京|2010/10/10|1000000|True|say \"hi\"",
      "8|Eve|東京|2023/12/31 23:59:59|42|True|tab\there"},
     false},
    {"qryBigSum", {"N", "Total"}, {"40000|400010000"}},
    {"qryJoin", {"Name", "Amount"}, {"NULL|1200.25", "Alice|250", "Alice|75.5", "山田太郎|10"}},
    {"MSysQuery",
     {"Name"},
     {"Alice", "NULL", "", "山田太郎", "Bob", "Carol", "Dave", "Eve"},
     false},
    {"qryParam", {}, {}, true, "値 [Which city?] の入力を必要とします"},
    {"qryUpdate", {}, {}, true, "更新クエリー"},
    {"qryCityCount",
     {"City", "CountOfID"},
     {"NULL|1", "Nagoya|1", "Tokyo|1", "大阪|2", "東京|3"},
     false},
    {"qryLike", {"ID", "Name"}, {"1|Alice", "6|Carol", "7|Dave"}},
    {"qryIIf",
     {"ID", "Kind", "NameOrDash"},
     {"1|credit|Alice", "2|debit|-", "3|credit|", "4|credit|山田太郎", "5|credit|Bob",
      "6|credit|Carol", "7|debit|Dave", "8|credit|Eve"}},
    {"qryNested", {"ID", "Name"}, {"8|Eve", "4|山田太郎", "1|Alice"}},
    {"qryUnion", {}, {}, true, "ユニオンクエリー"},
    {"qryDate",
     {"ID", "Joined"},
     {"6|2005/06/15 08:30:00", "4|2010/10/10", "5|2020/02/29", "8|2023/12/31 23:59:59"}},
    {"qryCrosstab", {}, {}, true, "クロス集計クエリー"},
    {"東京の顧客", {"ID", "Name"}, {"1|Alice", "4|山田太郎", "8|Eve"}},
};

TEST(DesignedQueries, EachQueryGivesItsExpectedRowsOrNamesWhatItCannotRun) {
    DesignedDatabase db = designedDatabase();
    for (const DesignedCase& c : kCases) {
        SCOPED_TRACE(c.query);
        CollectingSink sink;
        const Status run =
            runSelectQuery(QString::fromUtf8(c.query), db.catalogue, db.tables, sink);
        if (c.error) {
            ASSERT_FALSE(run);
            EXPECT_TRUE(run.failure().text().contains(QString::fromUtf8(c.query)))
                << run.failure().text();
            EXPECT_TRUE(run.failure().text().contains(QString::fromUtf8(c.error)))
                << run.failure().text();
            EXPECT_TRUE(sink.rows.empty());
            continue;
        }
        ASSERT_TRUE(run) << run.failure().text();
        EXPECT_EQ(sink.columnCalls, 1);
        EXPECT_EQ(sink.names, c.columns);
        QStringList actual = sink.rowTexts();
        QStringList expected = c.rows;
        if (!c.ordered) {
            actual.sort();
            expected.sort();
        }
        EXPECT_EQ(actual, expected);
    }
}

TEST(DesignedQueries, ValuesKeepTheKindsOfTheirSourceColumns) {
    DesignedDatabase db = designedDatabase();
    CollectingSink sink;
    ASSERT_TRUE(runSelectQuery("qryTokyo", db.catalogue, db.tables, sink));
    ASSERT_FALSE(sink.rows.empty());
    const auto& row = sink.rows.front();
    EXPECT_EQ(row[0].kind, DbValue::Kind::Integer);
    EXPECT_EQ(row[3].kind, DbValue::Kind::DateTime);
    EXPECT_EQ(row[4].kind, DbValue::Kind::Currency);
    EXPECT_EQ(row[4].integer, 12345000);
    EXPECT_EQ(row[5].kind, DbValue::Kind::Boolean);
    EXPECT_EQ(row[5].integer, 1);
    EXPECT_EQ(row[6].kind, DbValue::Kind::Text);
}

TEST(DesignedQueries, ReadsOnlyTheTablesTheQueryNeedsAndEachOnce) {
    DesignedDatabase db = designedDatabase();
    CollectingSink sink;
    ASSERT_TRUE(runSelectQuery("qryJoin", db.catalogue, db.tables, sink));
    QStringList reads = db.tables.reads;
    reads.sort();
    // Each is read for its columns, then once for its rows.
    EXPECT_EQ(reads, QStringList({"Customers", "Customers", "Order Details", "Order Details"}));
}

TEST(DesignedQueries, SinkStoppingEarlyIsNotAnError) {
    DesignedDatabase db = designedDatabase();
    CollectingSink sink;
    sink.stopAfter = 2;
    EXPECT_TRUE(runSelectQuery("qryIIf", db.catalogue, db.tables, sink));
    EXPECT_EQ(sink.rowTexts(), QStringList({"1|credit|Alice", "2|debit|-"}));
}

TEST(DesignedQueries, RowByRowQueriesReadOnlyTheRowsTheyNeed) {
    struct Case {
        const char* where;
        const char* orderBy;
        int stopAfter;
        int maxStreamed;  // -1: the table is read whole
        QStringList rows;
    } cases[] = {
        {"V = 0", nullptr, 3, 256, {"7", "14", "21"}},
        {"V = 0 And ID > 990", nullptr, -1, 1000, {"994"}},
        {nullptr, "ID DESC", 2, -1, {"1000", "999"}},
        {"ID In (SELECT ID FROM T WHERE ID < 3)", nullptr, -1, -1, {"1", "2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where ? c.where : c.orderBy);
        DesignedDatabase db;
        db.catalogue.objects.push_back({1, "T", 1, 0});
        MemoryTable& t = db.tables.tables["T"];
        t.columns = {{"ID", DbValue::Kind::Integer}, {"V", DbValue::Kind::Integer}};
        for (int i = 1; i <= 1000; ++i) {
            t.rows.push_back({integerValue(i), integerValue(i % 7)});
        }
        std::vector<QueryDefRow> rows = {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 0),
                                         r(5, 1, "T", {}, {}), r(6, 1, {}, {}, "ID", 0)};
        if (c.where) {
            rows.push_back(r(8, 1, {}, {}, c.where));
        }
        if (c.orderBy) {
            rows.push_back(r(11, 1, "D", {}, "ID"));
        }
        addQuery(db.catalogue, 2, "q", 0, rows);
        db.tables.streams = true;
        CollectingSink sink;
        sink.stopAfter = c.stopAfter;
        ASSERT_TRUE(runSelectQuery("q", db.catalogue, db.tables, sink));
        EXPECT_EQ(sink.rowTexts(), c.rows);
        if (c.maxStreamed < 0) {
            EXPECT_EQ(db.tables.rowsStreamed, 0);
        } else {
            EXPECT_GT(db.tables.rowsStreamed, 0);
            EXPECT_LE(db.tables.rowsStreamed, c.maxStreamed);
        }
        // Read again from the start, the rows are the same.
        auto cursor = openSelectQuery("q", db.catalogue, db.tables);
        ASSERT_TRUE(cursor) << cursor.failure().text();
        std::vector<DbValue> row;
        ASSERT_TRUE(cursor.value()->next(row).value());
        ASSERT_TRUE(cursor.value()->rewind());
        ASSERT_TRUE(cursor.value()->next(row).value());
        EXPECT_EQ(cellText(row[0]), c.rows.front());
    }
}

TEST(DesignedQueries, EmptyResultStillNamesTheColumns) {
    DesignedDatabase db = designedDatabase();
    addSelectQuery(db.catalogue, 200, "qryEmpty", {"Empty"}, {"Empty.ID", "Empty.Created"});
    CollectingSink sink;
    ASSERT_TRUE(runSelectQuery("qryEmpty", db.catalogue, db.tables, sink));
    EXPECT_EQ(sink.columnCalls, 1);
    EXPECT_EQ(sink.names, QStringList({"ID", "Created"}));
    EXPECT_TRUE(sink.rows.empty());
}

TEST(DesignedQueries, FailuresNameTheQuery) {
    struct Case {
        const char* name;
        const char* failTable;
        const char* expected;
    } cases[] = {
        {"qryMissing", "", "qryMissing"},
        {"Customers", "", "Customers"},  // a table is not a query
        {"qryTokyo", "Customers", "読み取りに失敗しました"},
        {"qryNested", "Customers", "読み取りに失敗しました"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DesignedDatabase db = designedDatabase();
        db.tables.failTable = QString::fromUtf8(c.failTable);
        CollectingSink sink;
        const Status run = runSelectQuery(QString::fromUtf8(c.name), db.catalogue, db.tables, sink);
        ASSERT_FALSE(run);
        EXPECT_TRUE(run.failure().text().contains(QString::fromUtf8(c.name)))
            << run.failure().text();
        EXPECT_TRUE(run.failure().text().contains(QString::fromUtf8(c.expected)))
            << run.failure().text();
    }
}

}  // namespace
}  // namespace korvane::test
