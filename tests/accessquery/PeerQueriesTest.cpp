// The saved queries of the databases made by Access (peer fixtures, read from the shared fixtures
// and skipped when absent) through the data-access component: select queries give their rows,
// every other kind fails with an error that names it.

#include <gtest/gtest.h>

#include <QFile>

#include "platform/mdb/DataAccess.h"
#include "platform/mdb/DbValueText.h"
#include "support/TestFiles.h"

namespace korvane {
namespace {

struct PeerCase {
    const char* file;
    const char* query;
    QStringList rows;   // first column of each row, when it runs
    const char* error;  // part of the error when it must fail
};

const PeerCase kPeerCases[] = {
    {"jackcess_queryTestV1997.mdb", "SelectQuery", {}, nullptr},
    {"jackcess_queryTestV1997.mdb", "UnionQuery", {}, "ユニオンクエリー"},
    {"jackcess_queryTestV2000.mdb", "SelectQuery", {}, nullptr},
    {"jackcess_queryTestV2003.mdb", "SelectQuery", {}, nullptr},
    {"jackcess_queryTestV2003.mdb", "UpdateQuery", {}, "更新クエリー"},
    {"jackcess_queryTestV2003.mdb", "AppendQuery", {}, "追加クエリー"},
    {"jackcess_queryTestV2003.mdb", "DeleteQuery", {}, "削除クエリー"},
    {"jackcess_queryTestV2003.mdb", "MakeTableQuery", {}, "テーブル作成クエリー"},
    {"jackcess_queryTestV2003.mdb", "CrosstabQuery", {}, "クロス集計クエリー"},
    {"jackcess_queryTestV2003.mdb", "UnionQuery", {}, "ユニオンクエリー"},
    {"jackcess_queryTestV2003.mdb", "PassthroughQuery", {}, "パススルークエリー"},
    {"jackcess_queryTestV2003.mdb", "DataDefinitionQuery", {}, "データ定義クエリー"},
    {"ucanaccess_accessLike.mdb", "q_like2", {"dd1"}, nullptr},
    {"ucanaccess_reservedWordLeave.mdb", "Without Leave", {}, nullptr},
    {"ucanaccess_pivot.mdb", "q_stdev", {}, "クロス集計クエリー"},
    {"ucanaccess_pivot.mdb", "q_trim", {}, "クロス集計クエリー"},
};

TEST(PeerQueries, SelectQueriesRunAndOtherKindsAreNamed) {
    KORVANE_FIXTURE(dir, "peer-mdb");
    for (const PeerCase& c : kPeerCases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.query);
        Connection connection;
        connection.ConnectionString =
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + dir +
            QLatin1Char('/') + QString::fromUtf8(c.file);
        ASSERT_TRUE(connection.Open()) << connection.errorDescription();
        Recordset rs;
        const bool opened = rs.Open(QString::fromUtf8(c.query), connection);
        if (c.error) {
            EXPECT_FALSE(opened);
            EXPECT_TRUE(rs.errorDescription().contains(QString::fromUtf8(c.error)))
                << rs.errorDescription();
            continue;
        }
        ASSERT_TRUE(opened) << rs.errorDescription();
        QStringList firstColumn;
        while (!rs.Eof()) {
            firstColumn << rs.fields().Item(0)->Value().text;
            ASSERT_TRUE(rs.MoveNext()) << rs.errorDescription();
        }
        EXPECT_EQ(firstColumn, c.rows);
    }
}

// An application's database: forms, reports, a macro and a module share the names of its tables
// and queries; its queries use subqueries, one refers to a form's control.
TEST(PeerQueries, SharedNamesAndSubqueriesGiveTheirRows) {
    const struct {
        const char* query;
        QStringList rows;  // all columns, "a|b"
    } cases[] = {
        {"Customer Orders",
         {"Nordic Traders|2024/01/05|250", "Alpine Goods|2024/01/09|1200.5",
          "Nordic Traders|2024/01/15|75.25", "Harbor Supply|2024/02/01|430",
          "Baker & Sons|2024/02/01|99.99", "Alpine Goods|2024/02/14|310",
          "Nordic Traders|2024/03/03|1875.4", "Baker & Sons|2024/03/10|12.5",
          "Harbor Supply|2024/03/22|18.9", "Alpine Goods|2024/04/02|560",
          "Baker & Sons|2024/04/18|845.3", "Nordic Traders|2024/05/06|60"}},
        {"Products Above Average Price",
         {"Saffron|62.25", "Smoked Salmon|45", "Dark Chocolate|38.5"}},
        {"Customers With Orders",
         {"Alpine Goods", "Baker & Sons", "Harbor Supply", "Nordic Traders"}},
        {"Customers Without Orders", {"Coastal Foods"}},
        {"Largest Order Per Customer",
         {"1|1007|1875.4", "2|1002|1200.5", "3|1004|430", "4|1011|845.3"}},
        {"Order Count",
         {"Alpine Goods|3", "Baker & Sons|3", "Coastal Foods|0", "Harbor Supply|2",
          "Nordic Traders|4"}},
        {"Orders For Form",
         {"クエリー(Orders For Form)は値 [Forms]![Customers]![CustomerID] の入力を必要とします。"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query);
        Connection connection;
        connection.ConnectionString =
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
            testing::testDataFile(QStringLiteral("shadowed_names_jet4.mdb"));
        ASSERT_TRUE(connection.Open()) << connection.errorDescription();
        Recordset rs;
        QStringList rows;
        if (!rs.Open(QString::fromUtf8(c.query), connection)) {
            rows << rs.errorDescription();
        }
        for (; !rs.Eof(); rs.MoveNext()) {
            QStringList cells;
            for (int i = 0; i < rs.fields().Count(); ++i) {
                cells << DbValueText(rs.fields().Item(i)->Value());
            }
            rows << cells.join(QLatin1Char('|'));
        }
        EXPECT_EQ(rows, c.rows);
    }
}

}  // namespace
}  // namespace korvane
