#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "database/DatabaseCatalogue.h"
#include "platform/mdb/DataAccess.h"
#include "platform/mdb/DbValueText.h"
#include "support/TestFiles.h"

namespace korvane {
namespace {

using testing::fixtureFile;
using testing::testDataFile;

// Every row of a recordset as texts, Null as "<NULL>".
std::vector<QStringList> readAll(Recordset& rs) {
    std::vector<QStringList> rows;
    while (!rs.Eof()) {
        QStringList row;
        for (int i = 0; i < rs.fields().Count(); ++i) {
            const DbValue& v = rs.fields().Item(i)->Value();
            row << (v.isNull() ? QStringLiteral("<NULL>") : DbValueText(v));
        }
        rows.push_back(row);
        EXPECT_TRUE(rs.MoveNext()) << rs.errorDescription().toStdString();
    }
    return rows;
}

QString withProvider(const char* provider, const QString& path) {
    return QStringLiteral("Provider=%1;Persist Security Info=False;Data Source=")
               .arg(QLatin1String(provider)) +
           path;
}

TEST(Connection, ProvidersOpenTheirFormats) {
    const QString jet4 = testDataFile(QStringLiteral("sample_jet4.mdb"));
    const QString jet3 = fixtureFile(QStringLiteral("peer-mdb/jackcess_testV1997.mdb"));
    struct Case {
        const char* provider;
        QString path;
        bool opens;
    };
    std::vector<Case> cases = {
        {"Microsoft.Jet.OLEDB.3.51", jet4, false},
        {"Microsoft.Jet.OLEDB.4.0", jet4, true},
        {"Microsoft.ACE.OLEDB.12.0", jet4, false},
    };
    if (!jet3.isEmpty()) {
        cases.push_back({"Microsoft.Jet.OLEDB.3.51", jet3, true});
        cases.push_back({"Microsoft.Jet.OLEDB.4.0", jet3, true});
    }
    for (const Case& c : cases) {
        Connection cn;
        cn.ConnectionString = withProvider(c.provider, c.path);
        EXPECT_EQ(cn.Open(), c.opens) << c.provider << " " << c.path.toStdString();
        EXPECT_EQ(cn.errorDescription().isEmpty(), c.opens) << c.provider;
    }
}

TEST(Connection, FilesThatAreNoDatabaseFailWithAReason) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const QString& name, const QByteArray& content) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    };
    QFile sample(testDataFile(QStringLiteral("sample_jet4.mdb")));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QStringList paths = {
        dir.filePath(QStringLiteral("missing.mdb")),
        write(QStringLiteral("text.mdb"), "ID,Name\r\n1,Alice\r\n"),
        write(QStringLiteral("empty.mdb"), QByteArray()),
        write(QStringLiteral("cut.mdb"), sample.read(4096 + 100)),
        dir.path(),
    };
    for (const QString& path : paths) {
        Connection cn;
        EXPECT_FALSE(cn.Open(withProvider("Microsoft.Jet.OLEDB.4.0", path))) << path.toStdString();
        EXPECT_FALSE(cn.errorDescription().isEmpty()) << path.toStdString();
        EXPECT_FALSE(cn.isOpen());
    }
}

TEST(Connection, PathWithSemicolonOpens) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("a;Provider=x;b.mdb"));
    ASSERT_TRUE(QFile::copy(testDataFile(QStringLiteral("sample_jet4.mdb")), path));
    Connection cn;
    EXPECT_TRUE(cn.Open(Jet40ConnectionString(path))) << cn.errorDescription().toStdString();
}

TEST(Recordset, CustomersInStoredOrderWithTheirTextForms) {
    Connection cn;
    ASSERT_TRUE(cn.Open(Jet40ConnectionString(testDataFile(QStringLiteral("sample_jet4.mdb")))));
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("Customers"), cn));
    QStringList names;
    for (int i = 0; i < rs.fields().Count(); ++i) {
        names << rs.fields().Item(i)->Name();
    }
    EXPECT_EQ(names, QStringList({"ID", "Name", "City", "Joined", "Balance", "Active", "Notes"}));
    const std::vector<QStringList> rows = readAll(rs);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0], QStringList({"1", "Alice", "東京", "2001/04/01", "1234.5", "True", "a,b"}));
    EXPECT_EQ(rows[1], QStringList({"2", "<NULL>", "大阪", "2002/02/28 13:45:30", "-250.75",
                                    "False", "line1\r\nline2"}));
    // Zero-length is not Null.
    EXPECT_EQ(rows[2][1], "");
    EXPECT_EQ(rows[4][6], "<NULL>");
    EXPECT_EQ(rows[5][6], QStringLiteral("0123456789").repeated(500));
    EXPECT_EQ(rows[5][4], "0.0001");
    EXPECT_EQ(rows[6][6], "  padded  ");
    EXPECT_EQ(rows[7][3], "2023/12/31 23:59:59");
}

TEST(Recordset, EmptyTableIsAtEofAtOnceAndUnknownNamesFail) {
    Connection cn;
    ASSERT_TRUE(cn.Open(Jet40ConnectionString(testDataFile(QStringLiteral("sample_jet4.mdb")))));
    Recordset empty;
    ASSERT_TRUE(empty.Open(QStringLiteral("Empty"), cn));
    EXPECT_TRUE(empty.Eof());
    EXPECT_EQ(empty.fields().Count(), 3);
    for (const char* name : {"customers", "NoSuchTable", ""}) {
        Recordset rs;
        EXPECT_FALSE(rs.Open(QString::fromUtf8(name), cn)) << name;
        EXPECT_FALSE(rs.errorDescription().isEmpty());
    }
}

TEST(Recordset, MoveFirstReadsAgainFromTheStart) {
    Connection cn;
    ASSERT_TRUE(cn.Open(Jet40ConnectionString(testDataFile(QStringLiteral("sample_jet4.mdb")))));
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("Order Details"), cn));
    ASSERT_TRUE(rs.MoveNext());
    ASSERT_TRUE(rs.MoveNext());
    EXPECT_EQ(DbValueText(rs.fields().Item(QStringLiteral("orderid"))->Value()), "1003");
    ASSERT_TRUE(rs.MoveFirst());
    EXPECT_EQ(DbValueText(rs.fields().Item(0)->Value()), "1001");
    EXPECT_EQ(readAll(rs).size(), 5u);
}

TEST(Recordset, EdgeCasesShowEveryValueWhole) {
    KORVANE_FIXTURE(path, "mdb/edge_big_jet4.mdb");
    Connection cn;
    ASSERT_TRUE(cn.Open(Jet40ConnectionString(path)));
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("EdgeCases"), cn));
    const std::vector<QStringList> rows = readAll(rs);
    ASSERT_EQ(rows.size(), 5u);
    // ID Txt Memo Dbl Money Num Dt Bool Bin Ole Guid Lng
    EXPECT_EQ(rows[0], QStringList({"1", "plain", "short memo", "0.1", "1234.5678",
                                    "-12345678901234.5678", "2024/03/15 13:45:30", "True",
                                    "(バイナリ 5 バイト)", "(バイナリ 5 バイト)",
                                    "{6A5E4A2B-1C3D-4E5F-8A9B-0C1D2E3F4A5B}", "-2147483648"}));
    EXPECT_EQ(rows[1],
              QStringList({"2", "", "", "1E+20", "-0.0001", "0", "00:00:00", "False",
                           "(バイナリ 0 バイト)", "(バイナリ 0 バイト)", "<NULL>", "2147483647"}));
    EXPECT_EQ(rows[2], QStringList({"3", "<NULL>", "<NULL>", "<NULL>", "<NULL>", "<NULL>", "<NULL>",
                                    "False", "<NULL>", "<NULL>", "<NULL>", "<NULL>"}));
    EXPECT_EQ(rows[3][1], QStringLiteral("日本語テキスト \"quoted\", comma\nnewline"));
    EXPECT_EQ(rows[3][2], QStringLiteral("0123456789").repeated(25000));
    EXPECT_EQ(rows[3][4], "922337203685477.5807");
    EXPECT_EQ(rows[3][5], "99999999999999.9999");
    EXPECT_EQ(rows[3][6], "1800/01/01 06:00:00");
    EXPECT_EQ(rows[4][3], "0.3333333333333333");
    EXPECT_EQ(rows[4][6], "08:30:00");
}

TEST(Recordset, Jet3TextIsReadAsCp932) {
    KORVANE_FIXTURE(path, "peer-mdb/jackcess_testV1997_cp932_derived.mdb");
    Connection cn;
    ASSERT_TRUE(cn.Open(Jet351ConnectionString(path))) << cn.errorDescription().toStdString();
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("Table1"), cn));
    QStringList texts;
    for (const QStringList& row : readAll(rs)) {
        texts << row.mid(0, 2);
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("日本①g"))) << texts.join('|').toStdString();
}

// Jet 3 text is in the code page the file's header records, for values and names alike: 1252
// tells "Š" (0x8A) from Latin-1 and from CP932's "格"; the CP932 names hold the trail bytes
// 0x5C ("\\") and 0x5B ("[").
TEST(Recordset, Jet3TextReadsInTheCodePageOfItsHeader) {
    struct Case {
        const char* file;
        const char* table;
        QStringList columns;            // the first two
        std::vector<QStringList> rows;  // the first two values of each
    };
    const Case cases[] = {
        {"western_jet3.mdb", "Table1", {"A", "B"}, {{"é", "ß"}, {"Šibenik", "Frühstück"}}},
        {"cp932_jet3_names.mdb", "ソート", {"A", "B"}, {{"a", "b"}, {"日本①g", "hijklmnop"}}},
        {"cp932_jet3_names.mdb", "Table4", {"名前", "data"}, {}},
    };
    for (const Case& c : cases) {
        Connection cn;
        ASSERT_TRUE(cn.Open(Jet351ConnectionString(testDataFile(QString::fromUtf8(c.file)))))
            << c.file << ": " << cn.errorDescription().toStdString();
        Recordset rs;
        ASSERT_TRUE(rs.Open(QString::fromUtf8(c.table), cn))
            << c.table << ": " << rs.errorDescription().toStdString();
        ASSERT_GE(rs.fields().Count(), 2) << c.table;
        EXPECT_EQ(QStringList({rs.fields().Item(0)->Name(), rs.fields().Item(1)->Name()}),
                  c.columns)
            << c.table;
        std::vector<QStringList> firstTwo;
        for (const QStringList& row : readAll(rs)) {
            firstTwo.push_back(row.mid(0, 2));
        }
        EXPECT_EQ(firstTwo, c.rows) << c.table;
    }
}

// Forms, reports, a macro and a module share their names with tables and queries, some made
// before and some after them: a name must find the table or query whatever came first.
TEST(Recordset, FormsReportsMacrosAndModulesNeverShadowTablesOrQueries) {
    Connection cn;
    ASSERT_TRUE(
        cn.Open(Jet40ConnectionString(testDataFile(QStringLiteral("shadowed_names_jet4.mdb")))));
    struct Case {
        const char* source;
        QStringList columns;
        size_t rows;
        QStringList firstRow;
    };
    const Case cases[] = {
        {"Customers", {"CustomerID", "Name", "City"}, 5, {"1", "Nordic Traders", "Oslo"}},
        {"Orders",
         {"OrderID", "CustomerID", "OrderDate", "Amount"},
         12,
         {"1001", "1", "2024/01/05", "250"}},
        {"Products",
         {"ProductID", "ProductName", "UnitPrice", "Discontinued"},
         8,
         {"1", "Green Tea", "12", "False"}},
        {"Customer Orders",
         {"Name", "OrderDate", "Amount"},
         12,
         {"Nordic Traders", "2024/01/05", "250"}},
    };
    for (const Case& c : cases) {
        Recordset rs;
        ASSERT_TRUE(rs.Open(QString::fromUtf8(c.source), cn))
            << c.source << ": " << rs.errorDescription().toStdString();
        QStringList columns;
        for (int i = 0; i < rs.fields().Count(); ++i) {
            columns << rs.fields().Item(i)->Name();
        }
        EXPECT_EQ(columns, c.columns) << c.source;
        const std::vector<QStringList> rows = readAll(rs);
        ASSERT_EQ(rows.size(), c.rows) << c.source;
        EXPECT_EQ(rows[0], c.firstRow) << c.source;
    }
    std::unique_ptr<Recordset> schema = cn.OpenSchema(kSchemaTables);
    ASSERT_TRUE(schema);
    QStringList listed;
    for (const QStringList& row : readAll(*schema)) {
        if (row[3] == QLatin1String("TABLE") || row[3] == QLatin1String("VIEW")) {
            listed << row[3] + QLatin1Char(':') + row[2];
        }
    }
    EXPECT_EQ(listed, QStringList({"TABLE:Customers", "TABLE:Orders", "TABLE:Products",
                                   "VIEW:Customer Orders", "VIEW:Customers With Orders",
                                   "VIEW:Customers Without Orders",
                                   "VIEW:Largest Order Per Customer", "VIEW:Order Count",
                                   "VIEW:Orders For Form", "VIEW:Products Above Average Price"}));
}

TEST(Schema, RowsHoldTypeAndName) {
    Connection cn;
    ASSERT_TRUE(cn.Open(Jet40ConnectionString(testDataFile(QStringLiteral("sample_jet4.mdb")))));
    std::unique_ptr<Recordset> rs = cn.OpenSchema(kSchemaTables);
    ASSERT_TRUE(rs);
    QStringList views;
    while (!rs->Eof()) {
        const DbValue& type = rs->fields().Item(QStringLiteral("TABLE_TYPE"))->Value();
        if (type.text == QLatin1String("VIEW")) {
            views << rs->fields().Item(QStringLiteral("TABLE_NAME"))->Value().text;
        }
        rs->MoveNext();
    }
    EXPECT_EQ(views, QStringList({"MSysQuery", "qryBigSum", "qryCityCount", "qryDate", "qryIIf",
                                  "qryJoin", "qryLike", "qryNested", "qryTokyo", "東京の顧客"}));
    EXPECT_FALSE(cn.OpenSchema(4));
}

class ReaderFault : public ::testing::Test {
protected:
    void TearDown() override { qunsetenv("KORVANE_MDB_READER_FAULT"); }
};

TEST_F(ReaderFault, DeathOrSilenceBecomesAnError) {
    struct Case {
        const char* fault;
        bool opens;
        int rowsBeforeFailure;
    };
    const Case cases[] = {
        {"crash-open", false, 0}, {"hang-open", false, 0}, {"crash-row:Customers:3", true, 2}};
    for (const Case& c : cases) {
        qputenv("KORVANE_MDB_READER_FAULT", c.fault);
        Connection cn;
        const bool opened =
            cn.Open(Jet40ConnectionString(testDataFile(QStringLiteral("sample_jet4.mdb"))));
        ASSERT_EQ(opened, c.opens) << c.fault;
        if (!opened) {
            EXPECT_FALSE(cn.errorDescription().isEmpty()) << c.fault;
            continue;
        }
        Recordset rs;
        ASSERT_TRUE(rs.Open(QStringLiteral("Customers"), cn)) << c.fault;
        int rows = 0;
        while (!rs.Eof()) {
            ++rows;
            if (!rs.MoveNext()) {
                break;
            }
        }
        EXPECT_EQ(rows, c.rowsBeforeFailure) << c.fault;
        EXPECT_TRUE(rs.errorDescription().contains(QStringLiteral("異常終了")))
            << rs.errorDescription().toStdString();
    }
}

TEST_F(ReaderFault, ATableThatDoesNotEndIsStopped) {
    qputenv("KORVANE_MDB_READER_FAULT", "endless:Order Details");
    Connection cn;
    ASSERT_TRUE(cn.Open(Jet40ConnectionString(testDataFile(QStringLiteral("sample_jet4.mdb")))));
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("Order Details"), cn));
    int64_t rows = 0;
    while (!rs.Eof() && rs.MoveNext()) {
        ++rows;
    }
    EXPECT_TRUE(rs.Eof());
    EXPECT_GT(rows, 5);
    EXPECT_LT(rows, 100000);
    EXPECT_TRUE(rs.errorDescription().contains(QStringLiteral("壊れている")))
        << rs.errorDescription().toStdString();
}

}  // namespace
}  // namespace korvane
