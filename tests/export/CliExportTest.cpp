#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "support/TestFiles.h"

namespace korvane {
namespace {

using testing::fileBytes;
using testing::testDataFile;

struct CliCase {
    const char* name;
    QStringList options;   // before DB.mdb and OUT.csv
    const char* database;  // in the test data folder
    int exitCode;
    QByteArray stdoutText;
    QByteArray fileText;  // "<missing>" when no file may be written
};

class CliExportTest : public ::testing::TestWithParam<CliCase> {};

TEST_P(CliExportTest, RunsConvertWithTheAnswers) {
    const CliCase& c = GetParam();
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    QProcess cli;
    cli.start(testing::binFile(QStringLiteral("korvane-cli")),
              QStringList{QStringLiteral("export")}
                  << c.options << testDataFile(QString::fromUtf8(c.database)) << out);
    ASSERT_TRUE(cli.waitForFinished(120000));
    EXPECT_EQ(cli.exitCode(), c.exitCode) << cli.readAllStandardError().toStdString();
    EXPECT_EQ(cli.readAllStandardOutput(), c.stdoutText);
    EXPECT_EQ(fileBytes(out), c.fileText);
}

const QByteArray kDone = QStringLiteral("box\tKorvane\t出力されました。\n").toUtf8();

INSTANTIATE_TEST_SUITE_P(
    Cases, CliExportTest,
    ::testing::Values(
        CliCase{"TableWithTitle",
                {"--title", "--table", "Odd"},
                "sample_jet4.mdb",
                0,
                kDone,
                "\"a,b\",c\r\n\"x,y\",1\r\nplain,2\r\n"},
        CliCase{"QueryWithoutTitle",
                {"--query", "東京の顧客"},
                "sample_jet4.mdb",
                0,
                kDone,
                QStringLiteral("1,Alice\r\n4,山田太郎\r\n8,Eve\r\n").toUtf8()},
        CliCase{"UnknownTableWritesNothing",
                {"--table", "Nope"},
                "sample_jet4.mdb",
                1,
                "",
                "<missing>"},
        CliCase{"MissingDatabase",
                {"--table", "Odd"},
                "nothere.mdb",
                1,
                QStringLiteral("message\tファイル(").toUtf8() +
                    testDataFile(QStringLiteral("nothere.mdb")).toUtf8() +
                    QStringLiteral(")がありません。\n").toUtf8(),
                "<missing>"},
        CliCase{"NoSourceIsAUsageError", {"--title"}, "sample_jet4.mdb", 2, "", "<missing>"}),
    [](const ::testing::TestParamInfo<CliCase>& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace korvane
