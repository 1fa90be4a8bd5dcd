// `korvane-cli show` answering the Excel display-range dialog from its options.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

namespace korvane {
namespace {

struct CliCase {
    const char* what;
    QStringList options;
    QStringList expectedLines;  // lines the output must hold, in order
};

TEST(ExcelCliAnswers, OptionsReachTheDialog) {
    const QString cli = QDir(qEnvironmentVariable("KORVANE_BIN_DIR")).filePath("korvane-cli");
    if (!QFile::exists(cli)) {
        GTEST_SKIP() << "korvane-cli not built";
    }
    const QString sample =
        QDir(qEnvironmentVariable("KORVANE_TEST_DATA")).filePath(QStringLiteral("sample.xls"));
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

}  // namespace
}  // namespace korvane
