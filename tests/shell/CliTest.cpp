#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "shell/ProgramInfo.h"
#include "support/TestFiles.h"

namespace korvane::cli {
namespace {

TEST(CliOutput, EscapesBackslashTabLineFeedAndCarriageReturn) {
    const std::pair<const char*, const char*> cases[] = {
        {"plain", "plain"},
        {"a\\b", "a\\\\b"},
        {"tab\there", "tab\\there"},
        {"line1\r\nline2", "line1\\r\\nline2"},
        {"\\n", "\\\\n"},  // a backslash followed by n stays distinguishable from LF
        {"東京", "東京"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(escapeField(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
    }
}

struct Finished {
    int exitCode = -1;  // when it did not finish in time
    QString out;
    QString err;
};

Finished runCli(const QStringList& arguments,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess cli;
    cli.setProcessEnvironment(environment);
    cli.start(testing::binFile(QStringLiteral("korvane-cli")), arguments);
    if (!cli.waitForFinished(120000)) {
        return {};
    }
    return {cli.exitCode(), QString::fromUtf8(cli.readAllStandardOutput()),
            QString::fromUtf8(cli.readAllStandardError())};
}

// korvane-cli as a script meets it: what it prints, on which stream, and how it exits. "@"
// stands for the test data folder in the arguments and the expected texts.
struct CliRun {
    const char* name;
    QStringList arguments;
    int exitCode;
    const char* stdoutText;  // exactly, "*" for anything
    const char* stderrLine;  // the first line of stderr, exactly
};

class CliRunTest : public ::testing::TestWithParam<CliRun> {};

TEST_P(CliRunTest, PrintsWhatTheWindowWouldSay) {
    const CliRun& run = GetParam();
    const QString data = testing::testDataFile(QString());
    QTemporaryDir dir;
    QStringList arguments;
    for (QString argument : run.arguments) {
        arguments << argument.replace(QLatin1String("@/"), data)
                         .replace(QLatin1String("$OUT"), dir.filePath("o.csv"));
    }
    const auto [exitCode, out, err] = runCli(arguments);
    EXPECT_EQ(exitCode, run.exitCode) << err;
    if (QLatin1String(run.stdoutText) != QLatin1String("*")) {
        EXPECT_EQ(out, QString::fromUtf8(run.stdoutText).replace(QLatin1String("@/"), data));
    }
    const QStringList errLines = err.split(QLatin1Char('\n'));
    QStringList ours;  // warnings of Qt itself are not ours
    for (const QString& line : errLines) {
        if (line.startsWith(QLatin1String("korvane-cli")) ||
            line.startsWith(QLatin1String("usage"))) {
            ours << line;
        }
    }
    EXPECT_EQ(ours.value(0), QString::fromUtf8(run.stderrLine)) << err;
    EXPECT_FALSE(QFile::exists(dir.filePath("o.csv")) && run.exitCode != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliRunTest,
    ::testing::Values(
        CliRun{"ExportOfACsvSaysWhatTheMenuIsFor",
               {"export", "--table", "T", "@/sales.csv", "$OUT"},
               1,
               "message\tこのメニューはMDBファイルの内容をCSVへ出力するためのものです。\n",
               ""},
        CliRun{"ExportOfAWorkbookSaysWhatTheMenuIsFor",
               {"export", "--query", "Q", "@/sample.xls", "$OUT"},
               1,
               "message\tこのメニューはMDBファイルの内容をCSVへ出力するためのものです。\n",
               ""},
        CliRun{"ExportOfAMissingFileGivesTheOpensMessage",
               {"export", "--table", "T", "@/sales.csv.bak", "$OUT"},
               1,
               "message\tファイル(@/sales.csv.bak)がありません。\n",
               ""},
        CliRun{
            "ExportOfATableThatIsNotThereNamesTheTables",
            {"export", "--table", "T", "@/sample_jet4.mdb", "$OUT"},
            1,
            "",
            "korvane-cli: no table \"T\" in sample_jet4.mdb; tables: Big, Customers, Empty, MSy, "
            "msysnotes, Odd, Order Details, 日本語"},
        CliRun{"ShowOfASheetThatIsNotThereNamesTheSheets",
               {"show", "--sheet", "Nope", "@/sample.xls"},
               2,
               "*",
               "korvane-cli: no sheet \"Nope\" in sample.xls; sheets: Sheet1, 日本語, Data"},
        CliRun{"AQueryNumberPastTheLastNamesTheOption",
               {"show", "--query-index", "99", "@/sample_jet4.mdb"},
               2,
               "*",
               "korvane-cli: no query number 99 in sample_jet4.mdb (--query-index 99); queries: "
               "MSysQuery, qryBigSum, qryCityCount, qryDate, qryIIf, qryJoin, qryLike, qryNested, "
               "qryTokyo, 東京の顧客"},
        CliRun{"ANumberThatIsNoNumber",
               {"show", "--sheet-index", "two", "@/sample.xls"},
               2,
               "*",
               "korvane-cli: --sheet-index takes a number from 1, not \"two\""},
        CliRun{"ListOfAWorkbookShowsItsSheetsWithoutADialog",
               {"list", "@/sample.xls"},
               0,
               "filetype\t2\ntree\t0\tExcel\tExcel\tBE\ntree\t1\t\tSheet1\t-\n"
               "tree\t1\t\t日本語\t-\ntree\t1\t\tData\t-\n",
               ""},
        CliRun{"ListOfACsvShowsItsName",
               {"list", "@/sales.csv"},
               0,
               "filetype\t1\ntree\t0\tCSVファイル\tsales.csv\t-\n",
               ""},
        CliRun{"ListOfAMissingFileGivesTheOpensMessage",
               {"list", "@/none.mdb"},
               1,
               "message\tファイル(@/none.mdb)がありません。\n",
               ""},
        CliRun{
            "SqlPrintsTheQueryAsAccessShowsItWithItsJoinsNested",
            {"sql", "@/sales_jet4.mdb", "Order Lines Full"},
            0,
            "SELECT DISTINCTROW Orders.OrderID, Orders.OrderDate, Orders.CustomerID, "
            "Customers.CompanyName, Customers.City, [FirstName] & \" \" & [LastName] AS Seller, "
            "Carriers.CarrierName, [Order Lines].ItemID, Items.ItemName, [Order Lines].Quantity, "
            "CCur([Order Lines].[UnitPrice]*[Quantity]*(1-[Discount])/100)*100 AS Amount, "
            "Orders.Freight\n"
            "FROM Carriers INNER JOIN (Items INNER JOIN ((Staff INNER JOIN (Customers INNER JOIN "
            "Orders ON Customers.CustomerID = Orders.CustomerID) ON Staff.StaffID = "
            "Orders.StaffID) INNER JOIN [Order Lines] ON Orders.OrderID = [Order Lines].OrderID) "
            "ON Items.ItemID = [Order Lines].ItemID) ON Carriers.CarrierID = Orders.CarrierID;\n",
            ""},
        CliRun{"SqlOfAnUnknownQueryIsBadUsage",
               {"sql", "@/sales_jet4.mdb", "Nope"},
               2,
               "message\tテーブルまたはクエリー(Nope)が見つかりません。\n",
               ""},
        CliRun{"ListTakesOneFile",
               {"list", "@/sales.csv", "@/sample.xls"},
               2,
               "",
               "korvane-cli: list takes one file and no options"}),
    [](const ::testing::TestParamInfo<CliRun>& tested) { return std::string(tested.param.name); });

// Asking for help or the version is a good run; a wrong command is bad usage, answered with
// the same usage on stderr.
TEST(CliUsage, HelpAndVersionGoToStdoutAndAWrongCommandToStderr) {
    const QString usage = usageText();
    const QString version = programName() + QLatin1Char(' ') + programVersion() + QLatin1Char('\n');
    const struct {
        QStringList arguments;
        int exitCode;
        QString out;
        QString err;
    } cases[] = {
        {{"--help"}, 0, usage, ""},
        {{"-h"}, 0, usage, ""},
        {{"--version"}, 0, version, ""},
        {{"--frob"}, 2, "", "korvane-cli: unknown command --frob\n" + usage},
    };
    for (const auto& c : cases) {
        const Finished run = runCli(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ');
        EXPECT_EQ(run.out, c.out) << c.arguments.join(' ');
        EXPECT_EQ(run.err, c.err) << c.arguments.join(' ');
    }
    EXPECT_FALSE(usage.contains(QLatin1String("Dialog"))) << usage;  // what options do, not classes
}

// Run from cron, ssh or a container there is no XDG_RUNTIME_DIR; a good run must still say
// nothing on stderr, which scripts take for a fault. One file of each kind, so that what the
// reader processes say is heard too.
TEST(CliUsage, AGoodShowWritesNothingOnStderrWithoutARuntimeFolder) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    const QStringList runs[] = {
        {"show", "--all", testing::testDataFile("sales.csv")},
        {"show", "--sheet", "Sheet1", testing::testDataFile("sample.xls")},
        {"show", "--table", "Customers", testing::testDataFile("sample_jet4.mdb")},
    };
    for (const QStringList& arguments : runs) {
        const Finished run = runCli(arguments, environment);
        EXPECT_EQ(run.exitCode, 0) << arguments.last();
        EXPECT_TRUE(run.out.startsWith(QLatin1String("filetype\t"))) << run.out;
        EXPECT_EQ(run.err, QString()) << arguments.last();
    }
}

}  // namespace
}  // namespace korvane::cli
