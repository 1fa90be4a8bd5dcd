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

void expectQueries(const QString& path, bool large) {
    Connection connection;
    connection.ConnectionString =
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path;
    ASSERT_TRUE(connection.Open()) << connection.errorDescription();
    for (const SalesCase& c : kSalesCases) {
        SCOPED_TRACE(c.query);
        Recordset rs;
        ASSERT_TRUE(rs.Open(QString::fromUtf8(c.query), connection)) << rs.errorDescription();
        const QStringList& first = large ? c.largeFirst : c.smallFirst;
        for (int i = 0; i < first.size() && !rs.Eof(); ++i) {
            EXPECT_EQ(DbValueText(rs.fields().Item(i)->Value()), first[i]);
        }
        int rows = 0;
        while (!rs.Eof()) {
            ++rows;
            ASSERT_TRUE(rs.MoveNext()) << rs.errorDescription();
        }
        EXPECT_EQ(rows, large ? c.largeRows : c.smallRows);
    }
}

TEST(SalesQueries, EveryQueryGivesItsRows) {
    expectQueries(testing::testDataFile("sales_jet4.mdb"), false);
}

TEST(SalesQueries, EveryQueryGivesItsRowsAtFiftyTimesTheSize) {
    KORVANE_FIXTURE(path, "mdb/sales_scale_jet4.mdb");
    expectQueries(path, true);
}

}  // namespace
}  // namespace korvane
