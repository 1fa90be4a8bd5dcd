// The saved queries of the databases made by Access (peer fixtures, read from the shared fixtures
// and skipped when absent) through the data-access component: select queries give their rows,
// every other kind fails with an error that names it.

#include <gtest/gtest.h>

#include <QFile>

#include "platform/mdb/DataAccess.h"
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

}  // namespace
}  // namespace korvane
