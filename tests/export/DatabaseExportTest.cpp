#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <iostream>

#include "database/DatabaseCatalogue.h"
#include "export/ExportToCsv.h"
#include "platform/mdb/DataAccess.h"
#include "platform/mdb/DbValueText.h"
#include "shell/ProgramState.h"
#include "support/TestFailure.h"
#include "support/TestFiles.h"

namespace korvane {
namespace {

using testing::messageOf;

using testing::fileBytes;
using testing::testDataFile;

struct TableCase {
    const char* name;
    const char* source;
    bool isTitle;
    QByteArray expected;
};

class DatabaseExportTest : public ::testing::TestWithParam<TableCase> {
protected:
    void SetUp() override {
        InitProgramState();
        ASSERT_TRUE(ReadDatabaseCatalogue(testDataFile(QStringLiteral("sample_jet4.mdb"))));
    }
};

TEST_P(DatabaseExportTest, WritesTheSourceInItsTextForms) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const TableCase& c = GetParam();
    const std::optional<QString> failure =
        messageOf(ExportToCsv(out, QString::fromUtf8(c.source), c.isTitle));
    ASSERT_FALSE(failure) << failure->toStdString();
    EXPECT_EQ(fileBytes(out), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Designed, DatabaseExportTest,
    ::testing::Values(
        TableCase{"CustomersEveryValueKind", "Customers", true,
                  QString(QStringLiteral("ID,Name,City,Joined,Balance,Active,Notes\r\n"
                                         "1,Alice,東京,2001/04/01,1234.5,True,\"a,b\"\r\n"
                                         "2,,大阪,2002/02/28 13:45:30,-250.75,False,"
                                         "\"line1\r\nline2\"\r\n"
                                         "3,,Tokyo,1999/12/31,0,True,\"lf1\nlf2\"\r\n"
                                         "4,山田太郎,東京,2010/10/10,1000000,True,"
                                         "\"say \"\"hi\"\"\"\r\n"
                                         "5,Bob,大阪,2020/02/29,99.99,False,\r\n"
                                         "6,Carol,Nagoya,2005/06/15 08:30:00,0.0001,True,") +
                          QStringLiteral("0123456789").repeated(500) +
                          QStringLiteral("\r\n"
                                         "7,Dave,,1980/01/01,-0.01,False,  padded  \r\n"
                                         "8,Eve,東京,2023/12/31 23:59:59,42,True,tab\there\r\n"))
                      .toUtf8()},
        TableCase{"ColumnNameWithComma", "Odd", true, "\"a,b\",c\r\n\"x,y\",1\r\nplain,2\r\n"},
        TableCase{"EmptyTableWithHeaderAsked", "Empty", true, ""},
        TableCase{"SelectQueryWithJoin", "qryJoin", true,
                  QStringLiteral("Name,Amount\r\n,1200.25\r\nAlice,250\r\nAlice,75.5\r\n"
                                 "山田太郎,10\r\n")
                      .toUtf8()},
        TableCase{"QueryWithoutHeader", "qryNested", false,
                  QStringLiteral("8,Eve\r\n4,山田太郎\r\n1,Alice\r\n").toUtf8()}),
    [](const ::testing::TestParamInfo<TableCase>& tested) {
        return std::string(tested.param.name);
    });

TEST(DatabaseExportFailureTest, VanishedTableLeavesTheOldFile) {
    InitProgramState();
    ASSERT_TRUE(ReadDatabaseCatalogue(testDataFile(QStringLiteral("sample_jet4.mdb"))));
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("keep.csv"));
    {
        QFile file(out);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old\r\n");
    }
    const std::optional<QString> failure =
        messageOf(ExportToCsv(out, QStringLiteral("Removed"), true));
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->startsWith(
        QStringLiteral("テーブルまたはクエリー(Removed)を開くことができません。")))
        << failure->toStdString();
    EXPECT_EQ(fileBytes(out), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.csv"});
}

// --- Read-back: the file parsed by Python's csv module equals the source's rows as text ---

using Rows = std::vector<QStringList>;

// The rows of a CSV file as Python's csv module reads them; nothing when Python is missing.
std::optional<Rows> readWithPythonCsv(const QString& path) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, json, sys\n"
                                 "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                 "    json.dump(list(csv.reader(f)), sys.stdout)\n"),
                  path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        return std::nullopt;
    }
    Rows rows;
    for (const QJsonValue& row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        QStringList fields;
        for (const QJsonValue& field : row.toArray()) {
            fields << field.toString();
        }
        rows.push_back(fields);
    }
    return rows;
}

// The source read directly, header first, Null as "", or nothing when it cannot be opened.
std::optional<Rows> readDirectly(const QString& connectionString, const QString& source) {
    Connection connection;
    Recordset recordset;
    if (!connection.Open(connectionString) || !recordset.Open(source, connection)) {
        return std::nullopt;
    }
    Rows rows;
    QStringList header;
    for (int i = 0; i < recordset.fields().Count(); ++i) {
        header << recordset.fields().Item(i)->Name();
    }
    rows.push_back(header);
    for (; !recordset.Eof(); recordset.MoveNext()) {
        QStringList row;
        for (int i = 0; i < recordset.fields().Count(); ++i) {
            row << DbValueText(recordset.fields().Item(i)->Value());
        }
        rows.push_back(row);
    }
    if (!recordset.errorDescription().isEmpty()) {
        return std::nullopt;
    }
    return rows;
}

// Exports every table and select query of `database` and reads each file back; how many
// sources had rows to compare.
int checkReadBack(const QString& database) {
    SCOPED_TRACE(database.toStdString());
    InitProgramState();
    if (!ReadDatabaseCatalogue(database)) {
        return 0;  // a file no reader opens has nothing to export
    }
    int compared = 0;
    const QString connectionString = programState().DatabaseConnectionString;
    QTemporaryDir dir;
    const QStringList sources = programState().TableNames + programState().QueryNames;
    for (const QString& source : sources) {
        SCOPED_TRACE(source.toStdString());
        const QString out = dir.filePath(QStringLiteral("out.csv"));
        QFile::remove(out);
        const std::optional<Rows> expected = readDirectly(connectionString, source);
        const std::optional<QString> failure = messageOf(ExportToCsv(out, source, true));
        if (!expected) {
            // A query the engine cannot run is reported, never written half.
            EXPECT_TRUE(failure);
            EXPECT_FALSE(QFile::exists(out));
            continue;
        }
        EXPECT_FALSE(failure) << failure->toStdString();
        const std::optional<Rows> written = readWithPythonCsv(out);
        EXPECT_TRUE(written) << "python3 could not read " << out.toStdString();
        if (failure || !written) {
            continue;
        }
        if (expected->size() == 1) {
            EXPECT_TRUE(written->empty());  // no rows: no header either
            continue;
        }
        EXPECT_EQ(written->size(), expected->size());
        if (written->size() != expected->size()) {
            continue;
        }
        ++compared;
        for (size_t i = 0; i < expected->size(); ++i) {
            // A one-column line holding only Null or "" is an empty line, which csv reads as [].
            const QStringList& row = (*written)[i];
            if (row.isEmpty() && (*expected)[i] == QStringList{QString()}) {
                continue;
            }
            EXPECT_EQ(row, (*expected)[i]) << "line " << i + 1;
        }
    }
    return compared;
}

TEST(ExportReadBackTest, DesignedDatabase) {
    // Every table with rows and the runnable select queries.
    EXPECT_GE(checkReadBack(testDataFile(QStringLiteral("sample_jet4.mdb"))), 13);
}

TEST(ExportReadBackTest, PeerDatabases) {
    KORVANE_FIXTURE(folder, "peer-mdb");
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("*.mdb"), QStringLiteral("*.MDB")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    int compared = 0;
    for (const QString& file : files) {
        compared += checkReadBack(QDir(folder).filePath(file));
    }
    EXPECT_GT(compared, 5);
    std::cout << compared << " sources with rows read back\n";
}

}  // namespace
}  // namespace korvane
