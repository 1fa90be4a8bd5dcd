// Subqueries in saved queries - as a value, IN, EXISTS, ANY/SOME/ALL, correlated or not, in
// FROM - over a shop database whose forms, reports, macro and module share the names of its
// tables and queries; and queries that ask for a value no one can give here.

#include <gtest/gtest.h>

#include "QueryTestSupport.h"

namespace korvane::test {
namespace {

using Kind = DbValue::Kind;

DbValue day(int m, int d) {
    return dateValue(2024, m, d);
}

// The tables of the shop, and objects of other kinds with the same names, in an order where
// the first and the last object of a name are each wrong for some name.
DesignedDatabase shopDatabase() {
    DesignedDatabase db;
    QueryCatalogue& c = db.catalogue;
    c.objects = {{24, "Customers", 1, 0},        {-9, "Customers", -32768, 0},
                 {-10, "Order List", -32761, 0}, {-11, "Products", -32764, 0},
                 {34, "Products", 1, 0},         {29, "Orders", 1, 0},
                 {-12, "Orders", -32768, 0},     {-13, "Order List", -32764, 0},
                 {-14, "Orders", -32766, 0}};
    MemoryTable& customers = db.tables.tables["Customers"];
    customers.columns = {{"CustomerID", Kind::Integer}, {"Name", Kind::Text}, {"City", Kind::Text}};
    const char* names[] = {"Nordic Traders", "Alpine Goods", "Harbor Supply", "Baker & Sons",
                           "Coastal Foods"};
    const char* cities[] = {"Oslo", "Zurich", nullptr, "Leeds", "Porto"};
    for (int i = 0; i < 5; ++i) {
        customers.rows.push_back({integerValue(i + 1), textValue(names[i]),
                                  cities[i] ? textValue(cities[i]) : nullValue()});
    }
    MemoryTable& orders = db.tables.tables["Orders"];
    orders.columns = {{"OrderID", Kind::Integer},
                      {"CustomerID", Kind::Integer},
                      {"OrderDate", Kind::DateTime},
                      {"Amount", Kind::Currency}};
    const int customerOf[] = {1, 2, 1, 3, 4, 2, 1, 4, 3, 2, 4, 1};
    const int64_t amounts[] = {2500000,  12005000, 752500, 4300000, 999900,  3100000,
                               18754000, 125000,   189000, 5600000, 8453000, 600000};
    for (int i = 0; i < 12; ++i) {
        orders.rows.push_back({integerValue(1001 + i), integerValue(customerOf[i]),
                               day(1 + i / 3, 1 + i), currencyValue(amounts[i])});
    }
    MemoryTable& products = db.tables.tables["Products"];
    products.columns = {{"ProductID", Kind::Integer},
                        {"ProductName", Kind::Text},
                        {"UnitPrice", Kind::Currency},
                        {"Discontinued", Kind::Boolean}};
    const char* productNames[] = {"Green Tea",   "Rye Bread",     "Olive Oil",      "Blue Cheese",
                                  "Apple Juice", "Smoked Salmon", "Dark Chocolate", "Saffron"};
    const int64_t prices[] = {120000, 45000, 187500, 220000, 99500, 450000, 385000, 622500};
    for (int i = 0; i < 8; ++i) {
        products.rows.push_back({integerValue(i + 1), textValue(productNames[i]),
                                 currencyValue(prices[i]), booleanValue(i == 1 || i == 5)});
    }
    // A saved query other queries' subqueries read from.
    addQuery(c, 40, "Order List", 0,
             {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 0), r(5, 1, "Orders", "O", {}),
              r(6, 1, {}, {}, "O.CustomerID", 0), r(6, 2, {}, {}, "O.Amount", 0)});
    return db;
}

struct SubqueryCase {
    const char* name;
    const char* from;     // "Table", "Table AS Alias", or a derived table with its alias
    QStringList columns;  // "expression" or "expression AS alias"
    const char* where;
    const char* orderBy;
    QStringList rows;   // expected, "a|b"
    const char* error;  // instead of rows: a part of the message
};

void addCase(QueryCatalogue& c, int32_t id, const SubqueryCase& q) {
    std::vector<QueryDefRow> rows = {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 0)};
    const QString from = QString::fromUtf8(q.from);
    // A derived table's own SELECT may hold " AS " too: its alias follows the last one.
    const bool derived = from.startsWith(QLatin1Char('(')) || from.startsWith(QLatin1Char('['));
    const qsizetype as =
        derived ? from.lastIndexOf(QLatin1String(" AS ")) : from.indexOf(QLatin1String(" AS "));
    rows.push_back(
        r(5, 1, as < 0 ? from : from.left(as), as < 0 ? QString() : from.mid(as + 4), {}));
    for (int i = 0; i < q.columns.size(); ++i) {
        const QStringList parts = q.columns[i].split(QStringLiteral(" AS "));
        rows.push_back(r(6, i + 1, parts.value(1), {}, parts[0], 0));
    }
    if (q.where) {
        rows.push_back(r(8, 1, {}, {}, QString::fromUtf8(q.where)));
    }
    if (q.orderBy) {
        rows.push_back(r(11, 1, {}, {}, QString::fromUtf8(q.orderBy)));
    }
    addQuery(c, id, QString::fromUtf8(q.name), 0, rows);
}

const SubqueryCase kCases[] = {
    {"value in WHERE",
     "Products",
     {"ProductName", "UnitPrice"},
     "UnitPrice > (SELECT Avg(UnitPrice) FROM Products)",
     "ProductName",
     {"Dark Chocolate|38.5", "Saffron|62.25", "Smoked Salmon|45"},
     nullptr},
    {"IN",
     "Customers",
     {"Name"},
     "CustomerID IN (SELECT CustomerID FROM Orders)",
     "Name",
     {"Alpine Goods", "Baker & Sons", "Harbor Supply", "Nordic Traders"},
     nullptr},
    {"NOT IN",
     "Customers",
     {"Name"},
     "CustomerID NOT IN (SELECT CustomerID FROM Orders)",
     "Name",
     {"Coastal Foods"},
     nullptr},
    {"NOT EXISTS, correlated",
     "Customers",
     {"Name"},
     "NOT EXISTS (SELECT * FROM Orders WHERE Orders.CustomerID = Customers.CustomerID)",
     "Name",
     {"Coastal Foods"},
     nullptr},
    {"EXISTS, correlated",
     "Customers",
     {"Name"},
     "EXISTS (SELECT * FROM Orders WHERE Orders.CustomerID = Customers.CustomerID AND "
     "Amount > 1000)",
     "Name",
     {"Alpine Goods", "Nordic Traders"},
     nullptr},
    {"value, correlated through an alias",
     "Orders AS O",
     {"O.CustomerID", "O.OrderID", "O.Amount"},
     "O.Amount = (SELECT Max(Amount) FROM Orders WHERE Orders.CustomerID = O.CustomerID)",
     "O.CustomerID",
     {"1|1007|1875.4", "2|1002|1200.5", "3|1004|430", "4|1011|845.3"},
     nullptr},
    {"value in the select list, correlated",
     "Customers",
     {"Name", "(SELECT Count(*) FROM Orders WHERE Orders.CustomerID = Customers.CustomerID) AS N"},
     nullptr,
     "Name",
     {"Alpine Goods|3", "Baker & Sons|3", "Coastal Foods|0", "Harbor Supply|2", "Nordic Traders|4"},
     nullptr},
    {"ALL",
     "Orders",
     {"OrderID"},
     "Amount > ALL (SELECT Amount FROM Orders WHERE CustomerID = 3)",
     "OrderID",
     {"1002", "1007", "1010", "1011"},
     nullptr},
    {"ALL over no rows",
     "Customers",
     {"CustomerID"},
     "CustomerID > ALL (SELECT CustomerID FROM Orders WHERE Amount < 0)",
     "CustomerID",
     {"1", "2", "3", "4", "5"},
     nullptr},
    {"ANY",
     "Products",
     {"ProductName"},
     "UnitPrice = ANY (SELECT UnitPrice FROM Products WHERE Discontinued)",
     "ProductName",
     {"Rye Bread", "Smoked Salmon"},
     nullptr},
    {"SOME, correlated",
     "Customers",
     {"Name"},
     "1000 < SOME (SELECT Amount FROM Orders WHERE Orders.CustomerID = Customers.CustomerID)",
     "Name",
     {"Alpine Goods", "Nordic Traders"},
     nullptr},
    {"nested",
     "Customers",
     {"Name"},
     "CustomerID IN (SELECT CustomerID FROM Orders WHERE Amount = (SELECT Max(Amount) FROM "
     "Orders))",
     nullptr,
     {"Nordic Traders"},
     nullptr},
    {"over a saved query, names in any case",
     "Customers",
     {"Name"},
     "customerid IN (SELECT customerid FROM [order list] WHERE amount > 1000)",
     "Name",
     {"Alpine Goods", "Nordic Traders"},
     nullptr},
    {"derived table in FROM",
     "(SELECT Name, City FROM Customers WHERE City Is Not Null) AS Known",
     {"Known.Name"},
     "Known.City <> 'Oslo'",
     "Known.Name",
     {"Alpine Goods", "Baker & Sons", "Coastal Foods"},
     nullptr},
    {"Access 97 derived table in FROM",
     "[SELECT Name, City FROM Customers WHERE City Is Not Null]. AS Known",
     {"Known.Name"},
     "Known.City <> 'Oslo'",
     "Known.Name",
     {"Alpine Goods", "Baker & Sons", "Coastal Foods"},
     nullptr},
    {"Access 97 derived table inside a subquery",
     "Customers",
     {"Name"},
     "CustomerID IN (SELECT X.CustomerID FROM [SELECT CustomerID, Amount AS A FROM Orders]. AS X "
     "WHERE X.A > 1000)",
     "Name",
     {"Alpine Goods", "Nordic Traders"},
     nullptr},
    {"derived table and join inside a subquery",
     "Customers",
     {"Name"},
     "CustomerID IN (SELECT X.CustomerID FROM (SELECT CustomerID, Amount FROM Orders) AS X "
     "INNER JOIN Products AS P ON X.Amount > P.UnitPrice * 100 WHERE P.ProductID = 1)",
     "Name",
     {"Alpine Goods", "Nordic Traders"},
     nullptr},
    {"a missing table",
     "Customers",
     {"Name"},
     "CustomerID IN (SELECT CustomerID FROM Ordrs)",
     nullptr,
     {},
     "テーブルまたはクエリー Ordrs がありません"},
    {"more than one row as a value",
     "Products",
     {"ProductName"},
     "UnitPrice > (SELECT UnitPrice FROM Products)",
     nullptr,
     {},
     "二つ以上のレコード"},
    {"two columns in IN",
     "Customers",
     {"Name"},
     "CustomerID IN (SELECT CustomerID, Amount FROM Orders)",
     nullptr,
     {},
     "列が一つではありません"},
    {"unclosed subquery",
     "Customers",
     {"Name"},
     "CustomerID IN (SELECT CustomerID FROM Orders",
     nullptr,
     {},
     "')'"},
};

TEST(Subqueries, EachFormGivesItsRowsOrAnErrorNamingTheCause) {
    DesignedDatabase db = shopDatabase();
    int32_t id = 100;
    for (const SubqueryCase& c : kCases) {
        addCase(db.catalogue, id++, c);
    }
    for (const SubqueryCase& c : kCases) {
        SCOPED_TRACE(c.name);
        CollectingSink sink;
        const Status run = runSelectQuery(QString::fromUtf8(c.name), db.catalogue, db.tables, sink);
        if (c.error) {
            ASSERT_FALSE(run);
            EXPECT_TRUE(run.failure().text().contains(QString::fromUtf8(c.error)))
                << run.failure().text();
            EXPECT_TRUE(sink.rows.empty());
            continue;
        }
        ASSERT_TRUE(run) << run.failure().text();
        QStringList rows = sink.rowTexts();
        if (!c.orderBy) {
            rows.sort();
        }
        EXPECT_EQ(rows, c.rows);
    }
}

TEST(Subqueries, ValuesNoOneCanGiveHereAreNamed) {
    const char* const values[] = {"[Forms]![Customers]![CustomerID]", "Forms!Orders!OrderID",
                                  "[Which customer?]", "Customers.Missing"};
    for (const char* value : values) {
        SCOPED_TRACE(value);
        DesignedDatabase db = shopDatabase();
        addCase(db.catalogue, 100,
                {"Orders For Form", "Orders", {"OrderID"}, nullptr, nullptr, {}, nullptr});
        // The value sits in a correlated subquery, where an outer name could also have held it.
        db.catalogue.queryRows.push_back(
            queryRow(100, 8, 1, {}, {},
                     QStringLiteral("EXISTS (SELECT * FROM Customers WHERE Customers.CustomerID = "
                                    "Orders.CustomerID AND Customers.CustomerID = %1)")
                         .arg(QString::fromUtf8(value)),
                     std::nullopt));
        CollectingSink sink;
        const Status run = runSelectQuery("Orders For Form", db.catalogue, db.tables, sink);
        ASSERT_FALSE(run);
        EXPECT_EQ(run.failure().text(),
                  QStringLiteral("クエリー(Orders For Form)は値 %1 の入力を必要とします。")
                      .arg(QString::fromUtf8(value)));
    }
}

}  // namespace
}  // namespace korvane::test
