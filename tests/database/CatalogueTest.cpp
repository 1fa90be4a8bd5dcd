#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "database/DatabaseCatalogue.h"
#include "shell/ProgramState.h"
#include "support/TestFiles.h"

namespace korvane {
namespace {

using testing::testDataFile;

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override {
        InitProgramState();
        programState().TableNames = QStringList({"T1", "T2"});
        programState().QueryNames = QStringList({"Q1"});
    }
    QString sample() const { return testDataFile(QStringLiteral("sample_jet4.mdb")); }
};

TEST_F(Catalogue, SampleListsUserTablesAndSelectQueriesInProviderOrder) {
    ASSERT_TRUE(ReadDatabaseCatalogue(sample()));
    const ProgramState& state = programState();
    // MSysLog is left out by the case-sensitive "MSys" rule; msysnotes and MSy stay.
    EXPECT_EQ(state.TableNames, QStringList({"Big", "Customers", "Empty", "MSy", "msysnotes", "Odd",
                                             "Order Details", "日本語"}));
    // Queries are not filtered by name: MSysQuery is listed. Parameter, action, union and
    // crosstab queries are not views.
    EXPECT_EQ(state.QueryNames,
              QStringList({"MSysQuery", "qryBigSum", "qryCityCount", "qryDate", "qryIIf", "qryJoin",
                           "qryLike", "qryNested", "qryTokyo", "東京の顧客"}));
    EXPECT_EQ(
        state.DatabaseConnectionString,
        "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=" + sample());
}

TEST_F(Catalogue, SystemObjectsOnlyGiveTrueWithEmptyCollections) {
    ASSERT_TRUE(ReadDatabaseCatalogue(testDataFile(QStringLiteral("sample_jet4_empty.mdb"))));
    EXPECT_TRUE(programState().TableNames.isEmpty());
    EXPECT_TRUE(programState().QueryNames.isEmpty());
}

TEST_F(Catalogue, FailureLeavesTheNamesAndTheSecondString) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString text = dir.filePath(QStringLiteral("notes.mdb"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("This is a plain text file.\r\n");
    file.close();
    for (const QString& path : {text, dir.filePath(QStringLiteral("missing.mdb"))}) {
        EXPECT_FALSE(ReadDatabaseCatalogue(path));
        EXPECT_EQ(programState().TableNames, QStringList({"T1", "T2"}));
        EXPECT_EQ(programState().QueryNames, QStringList({"Q1"}));
        EXPECT_EQ(programState().DatabaseConnectionString, Jet40ConnectionString(path));
    }
}

TEST_F(Catalogue, SchemaThatFailsAfterTheOpenLeavesTheNames) {
    // The reader dies half-way through the object table, after the open succeeded.
    qputenv("KORVANE_MDB_READER_FAULT", "crash-row:MSysObjects:5");
    const bool read = ReadDatabaseCatalogue(sample());
    qunsetenv("KORVANE_MDB_READER_FAULT");
    EXPECT_FALSE(read);
    EXPECT_EQ(programState().TableNames, QStringList({"T1", "T2"}));
    EXPECT_EQ(programState().QueryNames, QStringList({"Q1"}));
    EXPECT_EQ(programState().DatabaseConnectionString, Jet40ConnectionString(sample()));
}

TEST_F(Catalogue, ANewDatabaseReplacesTheNamesOfTheOldOne) {
    KORVANE_FIXTURE(other, "mdb/edge_big_jet4.mdb");
    ASSERT_TRUE(ReadDatabaseCatalogue(sample()));
    ASSERT_TRUE(ReadDatabaseCatalogue(other));
    EXPECT_EQ(programState().TableNames, QStringList({"BigTable", "EdgeCases", "顧客"}));
    EXPECT_TRUE(programState().QueryNames.isEmpty());
}

TEST_F(Catalogue, PeerDatabases) {
    KORVANE_FIXTURE(peers, "peer-mdb");
    struct Case {
        const char* file;
        bool jet3;
        QStringList tables;
        QStringList queries;
    };
    const Case cases[] = {
        {"jackcess_queryTestV1997.mdb", true, {"Table1", "Table2", "Table3"}, {"SelectQuery"}},
        {"jackcess_queryTestV2003.mdb", false, {"Table1", "Table2", "Table3"}, {"SelectQuery"}},
        {"jackcess_testUnicodeCompV2003.mdb", false, {"Table"}, {}},
        {"jackcess_adox_jet4.mdb", false, {}, {}},
        {"ucanaccess_linked.mdb", false, {}, {}},
        {"ucanaccess_reservedWordLeave.mdb", false, {"t_leave"}, {"Without Leave"}},
        {"ucanaccess_weirdObjectNames.mdb", false, {"19 MB 01 BEZAHLT ???"}, {}},
        {"ucanaccess_pivot.mdb", false, {"t_pivot"}, {}},
    };
    for (const Case& c : cases) {
        const QString path = peers + QLatin1Char('/') + QLatin1String(c.file);
        ASSERT_TRUE(ReadDatabaseCatalogue(path)) << c.file;
        EXPECT_EQ(programState().TableNames, c.tables) << c.file;
        EXPECT_EQ(programState().QueryNames, c.queries) << c.file;
        EXPECT_EQ(programState().DatabaseConnectionString,
                  c.jet3 ? Jet351ConnectionString(path) : Jet40ConnectionString(path))
            << c.file;
    }
}

}  // namespace
}  // namespace korvane
