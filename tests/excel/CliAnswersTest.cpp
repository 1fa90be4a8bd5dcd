// `korvane-cli show` answering the Excel display-range dialog from its options.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "excel/BiffBuilder.h"

#include "support/TestFiles.h"

namespace korvane {
namespace {

struct CliCase {
    const char* what;
    QStringList options;
    QStringList expectedLines;  // lines the output must hold, in order
};

TEST(ExcelCliAnswers, OptionsReachTheDialog) {
    const QString cli = testing::binFile(QStringLiteral("korvane-cli"));
    if (!QFile::exists(cli)) {
        GTEST_SKIP() << "korvane-cli not built";
    }
    const QString sample = testing::testDataFile(QStringLiteral("sample.xls"));
    const CliCase cases[] = {
        {"sheet by name and the four boxes",
         {"--sheet", "Sheet1", "--col", "27", "--row", "100", "--cols", "3", "--rows", "2"},
         {"columns\trec\tAA\tAB\tAC", "row\t 100\tr100c27\tr100c28\tr100c29",
          "row\t 101\tr101c27\tr101c28\tr101c29"}},
        {"sheet by index keeps the default boxes",
         {"--sheet-index", "2"},
         {QStringLiteral("row\t 1\t日本語\t東京\t大阪") + QString(17, u'\t'),
          QStringLiteral("row\t 20") + QString(20, u'\t')}},
        {"a refused box leaves the dialog open",
         {"--sheet", "Sheet1", "--cols", "0"},
         {QStringLiteral("message\tカラムの範囲は１－２５５までです。")}},
        {"cancel",
         {"--cancel"},
         {QStringLiteral("box\tインフォメーション\tキャンセルされました。")}},
    };
    for (const CliCase& c : cases) {
        SCOPED_TRACE(c.what);
        QProcess process;
        process.start(cli, QStringList{"show"} + c.options + QStringList{sample});
        ASSERT_TRUE(process.waitForFinished(60000));
        const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
        int from = 0;
        for (const QString& expected : c.expectedLines) {
            const int at = lines.indexOf(expected, from);
            EXPECT_GE(at, 0) << expected.toStdString() << "\n" << lines.join('\n').toStdString();
            from = std::max(from, at + 1);
        }
    }
}

// What went wrong reaches the user in Japanese, naming the cell, its value or the sheet.
TEST(ExcelCliAnswers, FailuresAreDescribedInJapanese) {
    const QString cli = QDir(qEnvironmentVariable("KORVANE_BIN_DIR")).filePath("korvane-cli");
    if (!QFile::exists(cli)) {
        GTEST_SKIP() << "korvane-cli not built";
    }
    QTemporaryDir dir;
    const QString charts = dir.filePath("charts.xls");
    QFile file(charts);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(test::workbookStream(
        {}, {{"Sheet1", 0, test::numberCell(0, 0, 1)}, {"Chart1", 2, QByteArray()}}));
    file.close();
    const QString sample =
        QDir(qEnvironmentVariable("KORVANE_TEST_DATA")).filePath(QStringLiteral("sample.xls"));
    const struct {
        QString path;
        QStringList options;
        QString description;
    } cases[] = {
        {sample,
         {"--sheet", "Sheet1", "--col", "22", "--cols", "1", "--rows", "1"},
         QStringLiteral("セル V1 はエラー値 #DIV/0! です。")},
        {charts,
         {"--sheet", "Chart1"},
         QStringLiteral("シート(Chart1)はグラフのシートで、セルがありません。")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description.toStdString());
        QProcess process;
        process.start(cli, QStringList{"show"} + c.options + QStringList{c.path});
        ASSERT_TRUE(process.waitForFinished(60000));
        const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
        const QStringList expected{
            QStringLiteral("message\tファイル(") + c.path + QStringLiteral("）は処理できません。"),
            QStringLiteral("message\t") + c.description};
        const qsizetype first = lines.indexOf(expected[0]);
        ASSERT_GE(first, 0) << lines.join('\n').toStdString();
        EXPECT_EQ(lines.value(first + 1), expected[1]) << lines.join('\n').toStdString();
    }
}

}  // namespace
}  // namespace korvane
