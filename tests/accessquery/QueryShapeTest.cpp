// Joins, sources, output names, grouping, DISTINCT / DISTINCTROW, TOP and queries on queries,
// over small tables built for each case.

#include <gtest/gtest.h>

#include "QueryTestSupport.h"

namespace korvane::test {
namespace {

using Kind = DbValue::Kind;

// A: (1,"x"), (2,"y"), (3,"Münster");  B: (1,10), (1,11), (4,40);  C: (10,"ten"), (40,"forty")
// D (duplicates and letter case): ("a",1), ("A",2), ("b",3), ("MÜNSTER",4), ("münster",5)
DesignedDatabase shapeDatabase() {
    DesignedDatabase db;
    QueryCatalogue& c = db.catalogue;
    c.objects = {{1, "A", 1, 0}, {2, "B", 1, 0}, {3, "C", 1, 0}, {4, "D", 1, 0}};
    MemoryTable a;
    a.columns = {{"ID", Kind::Integer}, {"Name", Kind::Text}};
    a.rows = {{integerValue(1), textValue("x")},
              {integerValue(2), textValue("y")},
              {integerValue(3), textValue("Münster")}};
    MemoryTable b;
    b.columns = {{"AID", Kind::Integer}, {"V", Kind::Integer}};
    b.rows = {{integerValue(1), integerValue(10)},
              {integerValue(1), integerValue(11)},
              {integerValue(4), integerValue(40)}};
    MemoryTable cc;
    cc.columns = {{"V", Kind::Integer}, {"Word", Kind::Text}};
    cc.rows = {{integerValue(10), textValue("ten")}, {integerValue(40), textValue("forty")}};
    MemoryTable d;
    d.columns = {{"K", Kind::Text}, {"N", Kind::Integer}};
    const char* const keys[] = {"a", "A", "b", "MÜNSTER", "münster"};
    for (int i = 0; i < 5; ++i) {
        d.rows.push_back({textValue(QString::fromUtf8(keys[i])), integerValue(i + 1)});
    }
    db.tables.tables = {{"A", a}, {"B", b}, {"C", cc}, {"D", d}};
    return db;
}

struct ShapeCase {
    const char* name;
    std::vector<QueryDefRow> rows;
    QStringList columns;
    QStringList expected;  // in order unless `unordered`
    bool unordered = false;
};

void runCases(const std::vector<ShapeCase>& cases) {
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        DesignedDatabase db = shapeDatabase();
        addQuery(db.catalogue, 100, "q", 0, c.rows);
        CollectingSink sink;
        const Status run = runSelectQuery("q", db.catalogue, db.tables, sink);
        ASSERT_TRUE(run) << run.failure().text();
        EXPECT_EQ(sink.names, c.columns);
        QStringList actual = sink.rowTexts();
        QStringList expected = c.expected;
        if (c.unordered) {
            actual.sort();
            expected.sort();
        }
        EXPECT_EQ(actual, expected);
    }
}

QueryDefRow select(int flags = 0, const QString& top = QString()) {
    return r(3, 1, top, {}, {}, flags);
}
QueryDefRow typeSelect() {
    return r(1, 1, {}, {}, {}, 1);
}
QueryDefRow from(int order, const QString& name, const QString& alias = QString()) {
    return r(5, order, name, alias, {});
}
QueryDefRow column(int order, const QString& expression, const QString& alias = QString()) {
    return r(6, order, alias, {}, expression, 0);
}
QueryDefRow join(int order, const QString& left, const QString& right, const QString& on,
                 int kind) {
    return r(7, order, left, right, on, kind);
}
QueryDefRow orderBy(int order, const QString& expression, bool descending = false) {
    return r(11, order, descending ? "D" : "", {}, expression);
}

TEST(QueryShapes, Joins) {
    runCases({
        {"inner join",
         {typeSelect(), select(), from(1, "A"), from(2, "B"), column(1, "A.Name"), column(2, "B.V"),
          join(1, "A", "B", "A.ID = B.AID", 1), orderBy(1, "B.V")},
         {"Name", "V"},
         {"x|10", "x|11"}},
        {"left join keeps unmatched left rows",
         {typeSelect(), select(), from(1, "A"), from(2, "B"), column(1, "A.ID"), column(2, "B.V"),
          join(1, "A", "B", "A.ID = B.AID", 2), orderBy(1, "A.ID"), orderBy(2, "B.V")},
         {"ID", "V"},
         {"1|10", "1|11", "2|NULL", "3|NULL"}},
        {"right join keeps unmatched right rows",
         {typeSelect(), select(), from(1, "A"), from(2, "B"), column(1, "A.ID"), column(2, "B.V"),
          join(1, "A", "B", "A.ID = B.AID", 3), orderBy(1, "B.V")},
         {"ID", "V"},
         {"1|10", "1|11", "NULL|40"}},
        {"nested: (A LEFT JOIN B) INNER JOIN C",
         {typeSelect(), select(), from(1, "A"), from(2, "B"), from(3, "C"), column(1, "A.ID"),
          column(2, "C.Word"), join(1, "A", "B", "A.ID = B.AID", 2),
          join(2, "B", "C", "B.V = C.V", 1)},
         {"ID", "Word"},
         {"1|ten"}},
        {"nested: C RIGHT JOIN (A INNER JOIN B)",
         {typeSelect(), select(), from(1, "A"), from(2, "B"), from(3, "C"), column(1, "B.V"),
          column(2, "C.Word"), join(1, "A", "B", "A.ID = B.AID", 1),
          join(2, "C", "B", "C.V = B.V", 3), orderBy(1, "B.V")},
         {"V", "Word"},
         {"10|ten", "11|NULL"}},
        {"two conditions between the same tables",
         {typeSelect(), select(), from(1, "A"), from(2, "B"), column(1, "B.V"),
          join(1, "A", "B", "A.ID = B.AID", 1), join(2, "A", "B", "B.V > 10", 1)},
         {"V"},
         {"11"}},
        {"cross product without a join row",
         {typeSelect(), select(), from(1, "A"), from(2, "C"), column(1, "Count(*)", "N")},
         {"N"},
         {"6"}},
        {"self join with an alias",
         {typeSelect(), select(), from(1, "B"), from(2, "B", "B2"), column(1, "B.V"),
          column(2, "B2.V"), join(1, "B", "B2", "B.AID = B2.AID AND B.V < B2.V", 1)},
         {"B.V", "B2.V"},
         {"10|11"}},
    });
}

TEST(QueryShapes, OutputColumnsAndNames) {
    runCases({
        {"star over two tables qualifies equal names",
         {typeSelect(), select(1), from(1, "B"), from(2, "C"), join(1, "B", "C", "B.V = C.V", 1)},
         {"AID", "B.V", "C.V", "Word"},
         {"1|10|10|ten", "4|40|40|forty"},
         true},
        {"Table.* and an expression without alias",
         {typeSelect(), select(), from(1, "C"), column(1, "C.*"), column(2, "[V] * 2"),
          orderBy(1, "V")},
         {"V", "Word", "Expr1000"},
         {"10|ten|20", "40|forty|80"}},
        {"an alias used by another column and in ORDER BY",
         {typeSelect(), select(), from(1, "C"), column(1, "V + 1", "W"), column(2, "W * 10", "X"),
          orderBy(1, "X", true)},
         {"W", "X"},
         {"41|410", "11|110"}},
        {"a query saved as SQL text has no type and flag rows",
         {from(1, "C"), column(1, "Word"), r(8, 1, {}, {}, "Word LIKE \"t*\"")},
         {"Word"},
         {"ten"}},
        {"bracketed and bang-qualified names",
         {typeSelect(), select(), from(1, "C"), column(1, "[C]![Word]"), column(2, "[C].[V]"),
          orderBy(1, "[Word]")},
         {"Word", "V"},
         {"forty|40", "ten|10"}},
    });
}

TEST(QueryShapes, GroupingAndLetterCase) {
    runCases({
        {"GROUP BY ignores letter case for all of Unicode",
         {typeSelect(), select(), from(1, "D"), column(1, "Count(*)", "N"),
          column(2, "Min(D.N)", "First"), r(9, 1, {}, {}, "D.K"), orderBy(1, "Min(D.N)")},
         {"N", "First"},
         {"2|1", "1|3", "2|4"}},
        {"HAVING",
         {typeSelect(), select(), from(1, "B"), column(1, "B.AID"), column(2, "Sum(B.V)", "S"),
          r(9, 1, {}, {}, "B.AID"), r(10, 1, {}, {}, "Sum(B.V) > 30")},
         {"AID", "S"},
         {"4|40"}},
        {"DISTINCT ignores letter case",
         {typeSelect(), select(2), from(1, "D"), column(1, "UCase(Left(D.K, 1))", "L")},
         {"L"},
         {"A", "B", "M"},
         true},
        {"ORDER BY ignores letter case, Nulls first",
         {typeSelect(), select(), from(1, "A"), from(2, "B"), column(1, "A.Name"),
          join(1, "B", "A", "A.ID = B.AID", 2), orderBy(1, "A.Name"), orderBy(2, "B.V")},
         {"Name"},
         {"NULL", "x", "x"}},
        {"WHERE compares text without letter case",
         {typeSelect(), select(), from(1, "D"), column(1, "D.N"),
          r(8, 1, {}, {}, "D.K = \"münster\""), orderBy(1, "D.N")},
         {"N"},
         {"4", "5"}},
        {"First, Last, StDev, Avg",
         {typeSelect(), select(), from(1, "B"), column(1, "First(B.V)", "F"),
          column(2, "Last(B.V)", "L"), column(3, "Round(StDev(B.V), 6)", "S"),
          column(4, "Avg(B.V)", "A"), column(5, "Var(B.AID)", "V")},
         {"F", "L", "S", "A", "V"},
         {"10|40|17.039171|20.333333333333332|3"}},
        {"Count of a column skips Nulls",
         {typeSelect(), select(), from(1, "A"), from(2, "B"), column(1, "Count(B.V)", "N"),
          join(1, "A", "B", "A.ID = B.AID", 2)},
         {"N"},
         {"2"}},
    });
}

TEST(QueryShapes, DistinctRowAndTop) {
    runCases({
        {"DISTINCTROW keeps one row per record of the tables that give columns",
         {typeSelect(), select(8), from(1, "A"), from(2, "B"), column(1, "A.Name"),
          join(1, "A", "B", "A.ID = B.AID", 1)},
         {"Name"},
         {"x"}},
        {"DISTINCTROW with columns of every table keeps all rows",
         {typeSelect(), select(8), from(1, "A"), from(2, "B"), column(1, "A.Name"),
          column(2, "B.AID"), join(1, "A", "B", "A.ID = B.AID", 1)},
         {"Name", "AID"},
         {"x|1", "x|1"}},
        {"DISTINCTROW keeps equal values of different records",
         {typeSelect(), select(8), from(1, "B"), from(2, "A"), column(1, "B.AID"),
          join(1, "B", "A", "A.ID = B.AID", 1)},
         {"AID"},
         {"1", "1"}},
        {"TOP n with ORDER BY keeps ties",
         {typeSelect(), select(16, "2"), from(1, "B"), column(1, "B.AID"), column(2, "B.V"),
          orderBy(1, "B.AID")},
         {"AID", "V"},
         {"1|10", "1|11"},
         true},
        {"TOP 1 with ties at the first place",
         {typeSelect(), select(16, "1"), from(1, "B"), column(1, "B.V"), orderBy(1, "B.AID")},
         {"V"},
         {"10", "11"},
         true},
        {"TOP n without ORDER BY",
         {typeSelect(), select(16, "2"), from(1, "C"), column(1, "C.Word")},
         {"Word"},
         {"ten", "forty"}},
        {"TOP n PERCENT rounds up",
         {typeSelect(), select(16 | 32, "34"), from(1, "D"), column(1, "D.N"),
          orderBy(1, "D.N", true)},
         {"N"},
         {"5", "4"}},
        {"TOP with DISTINCT",
         {typeSelect(), select(16 | 2, "2"), from(1, "B"), column(1, "B.AID"),
          orderBy(1, "B.AID", true)},
         {"AID"},
         {"4", "1"}},
    });
}

TEST(QueryShapes, QueriesOnQueries) {
    DesignedDatabase db = shapeDatabase();
    // inner: A joined to B; middle: from inner with alias; outer: aggregate over middle.
    db.catalogue.objects.push_back({50, "inner", 5, 0});
    addQuery(db.catalogue, 50, "inner", 0,
             {typeSelect(), select(), from(1, "A"), from(2, "B"), column(1, "A.Name"),
              column(2, "B.V"), join(1, "A", "B", "A.ID = B.AID", 2)});
    db.catalogue.objects.pop_back();  // addQuery added its own object
    addQuery(db.catalogue, 51, "middle", 0,
             {typeSelect(), select(1), from(1, "INNER", "i"), r(8, 1, {}, {}, "i.V Is Not Null")});
    addQuery(db.catalogue, 52, "outer", 0,
             {typeSelect(), select(), from(1, "middle"), column(1, "Sum(middle.V)", "Total"),
              column(2, "Max(Name)", "Top")});
    CollectingSink sink;
    const Status run = runSelectQuery("outer", db.catalogue, db.tables, sink);
    ASSERT_TRUE(run) << run.failure().text();
    EXPECT_EQ(sink.names, QStringList({"Total", "Top"}));
    EXPECT_EQ(sink.rowTexts(), QStringList({"21|x"}));
}

// Tens of thousands of orders joined to a saved totals query over their lines, and a
// correlated subquery that looks lines up by the order around it: rows are reached by key, so a
// work limit far below what one scan per outer row needs is never reached.
TEST(QueryShapes, JoinsOverSavedQueriesReachRowsByKey) {
    DesignedDatabase db;
    db.catalogue.objects = {{1, "Orders", 1, 0}, {2, "Lines", 1, 0}};
    constexpr int kOrders = 30000;
    MemoryTable orders;
    orders.columns = {{"OrderID", Kind::Integer}, {"Customer", Kind::Text}};
    MemoryTable lines;
    lines.columns = {{"OrderID", Kind::Integer}, {"Amount", Kind::Integer}};
    int bigOrders = 0;
    for (int i = 0; i < kOrders; ++i) {
        orders.rows.push_back({integerValue(i), textValue(QStringLiteral("C%1").arg(i % 500))});
        lines.rows.push_back({integerValue(i), integerValue(i % 7)});
        lines.rows.push_back({integerValue(i), integerValue(i % 5)});
        bigOrders += (i % 7 > 5 || i % 5 > 5) ? 1 : 0;
    }
    db.tables.tables = {{"Orders", orders}, {"Lines", lines}};
    addQuery(db.catalogue, 10, "Totals", 0,
             {typeSelect(), select(), from(1, "Lines"), column(1, "Lines.OrderID"),
              column(2, "Sum(Lines.Amount)", "Total"), r(9, 1, {}, {}, "Lines.OrderID")});
    addQuery(db.catalogue, 11, "joined", 0,
             {typeSelect(), select(), from(1, "Orders"), from(2, "Totals"),
              column(1, "Orders.Customer"), column(2, "Totals.Total"),
              join(1, "Orders", "Totals", "Orders.OrderID = Totals.OrderID", 1)});
    addQuery(db.catalogue, 12, "correlated", 0,
             {typeSelect(), select(), from(1, "Orders", "o"), column(1, "o.OrderID"),
              r(8, 1, {}, {},
                "Exists (SELECT Lines.OrderID FROM Lines WHERE Lines.OrderID = o.OrderID And "
                "Lines.Amount > 5)")});
    QueryRunOptions options;
    options.stepBudget = 1000000;
    options.stepsPerRowRead = 2000;
    for (const auto& [query, rows] : {std::pair{"joined", kOrders}, {"correlated", bigOrders}}) {
        SCOPED_TRACE(query);
        CollectingSink sink;
        const Status run = runSelectQuery(query, db.catalogue, db.tables, sink, options);
        ASSERT_TRUE(run) << run.failure().text();
        EXPECT_EQ(static_cast<int>(sink.rows.size()), rows);
    }
}

TEST(QueryShapes, UnrunnableShapesAreNamed) {
    struct Case {
        const char* name;
        std::vector<QueryDefRow> rows;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"no FROM", {typeSelect(), select(), column(1, "1")}, "FROM"},
        {"no columns", {typeSelect(), select(), from(1, "A")}, "出力する列がありません"},
        {"unknown source", {typeSelect(), select(1), from(1, "Nowhere")}, "Nowhere"},
        {"external database",
         {typeSelect(), select(1), r(5, 1, "A", {}, "C:\\other.mdb")},
         "外部データベース"},
        {"IN clause",
         {typeSelect(), select(1), r(4, 1, "C:\\x.mdb", {}, {}), from(1, "A")},
         "外部データベース"},
        {"join of an unknown table",
         {typeSelect(), select(1), from(1, "A"), join(1, "A", "Z", "A.ID = Z.ID", 1)},
         "Z"},
        {"join kind 4",
         {typeSelect(), select(1), from(1, "A"), from(2, "B"),
          join(1, "A", "B", "A.ID = B.AID", 4)},
         "結合の種類"},
        {"star in a totals query",
         {typeSelect(), select(1), from(1, "B"), r(9, 1, {}, {}, "B.AID")},
         "集計クエリーの *"},
        {"aggregate in WHERE",
         {typeSelect(), select(1), from(1, "B"), r(8, 1, {}, {}, "Sum(B.V) > 1")},
         "WHERE の中の集計関数"},
        {"ambiguous bare name",
         {typeSelect(), select(), from(1, "B"), from(2, "C"), column(1, "V")},
         "あいまいな名前 V"},
        {"the same source name twice",
         {typeSelect(), select(1), from(1, "A"), from(2, "A")},
         "二度"},
        {"TOP 0", {typeSelect(), select(16, "0"), from(1, "A"), column(1, "A.ID")}, "TOP 0"},
        {"TOP text", {typeSelect(), select(16, "x"), from(1, "A"), column(1, "A.ID")}, "TOP x"},
        {"TOP 101 PERCENT",
         {typeSelect(), select(48, "101"), from(1, "A"), column(1, "A.ID")},
         "TOP 101"},
        {"two WHERE rows",
         {typeSelect(), select(1), from(1, "A"), r(8, 1, {}, {}, "1=1"), r(8, 2, {}, {}, "1=1")},
         "WHERE"},
        {"no rows but the flags", {select(1)}, "クエリーの種類 0"},
        {"alias loop",
         {typeSelect(), select(), from(1, "A"), column(1, "Y + 1", "X"), column(2, "X + 1", "Y")},
         "循環する別名"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DesignedDatabase db = shapeDatabase();
        addQuery(db.catalogue, 100, "q", 0, c.rows);
        CollectingSink sink;
        const Status run = runSelectQuery("q", db.catalogue, db.tables, sink);
        ASSERT_FALSE(run);
        EXPECT_TRUE(run.failure().text().contains(QString::fromUtf8(c.expected)))
            << run.failure().text();
        EXPECT_TRUE(
            run.failure().text().startsWith(QStringLiteral("クエリー(q)を実行できません。")))
            << run.failure().text();
    }
}

}  // namespace
}  // namespace korvane::test
