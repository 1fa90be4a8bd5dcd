// Paths given to korvane on its command line (a file manager's "Open With") are opened like a
// file chosen with File > Open: the first only, a missing one reported by the open dispatch.

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <QUrl>

#include "ShellGuiTests.h"
#include "WindowTestHarness.h"
#include "app/StandardLoaders.h"
#include "shell/ListPane.h"
#include "shell/TreePane.h"
#include "support/TestFiles.h"

namespace korvane {
namespace {

// An argument in a data table names a file in the test's folder; the test resolves it there.
// "<url>" before a name makes it a file address, "<folder>" stands for the folder itself.
QString resolveArgument(const QString& argument, const QTemporaryDir& dir) {
    if (argument.isEmpty()) {
        return argument;
    }
    if (argument == QLatin1String("<folder>")) {
        return dir.path();
    }
    if (argument.startsWith(QLatin1String("<url>"))) {
        return QUrl::fromLocalFile(dir.filePath(argument.mid(5))).toString();
    }
    return dir.filePath(argument);
}

class OpenWithTest : public WindowTest {
    Q_OBJECT

private slots:
    void opensTheFirstPathOnlyAndReportsWhatIsNoFile_data();
    void opensTheFirstPathOnlyAndReportsWhatIsNoFile();
    void aRelativePathIsOpenedFromTheCurrentFolder();
    void withTheProgramsLoadersShowsTheRowsOfTheFileGiven();
    void withTheProgramsLoadersAMissingPathIsReportedAndChangesNothing();

private:
    // The program's own loaders, answering the CSV confirmation with all lines, the first
    // holding the titles.
    void useStandardLoaders();
};

void OpenWithTest::opensTheFirstPathOnlyAndReportsWhatIsNoFile_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("opened");    // the file a loader received
    QTest::addColumn<QString>("reported");  // the path the not-found message names
    QTest::newRow("one path") << QStringList({"a.csv"}) << "a.csv" << QString();
    QTest::newRow("further paths are ignored")
        << QStringList({"a.csv", "b.mdb"}) << "a.csv" << QString();
    QTest::newRow("a file address is taken as its path")
        << QStringList({"<url>a.csv"}) << "a.csv" << QString();
    QTest::newRow("a missing first path is reported, the next ignored")
        << QStringList({"missing.csv", "a.csv"}) << QString() << "missing.csv";
    QTest::newRow("a missing file address is reported by its path")
        << QStringList({"<url>gone.xls"}) << QString() << "gone.xls";
    QTest::newRow("a folder is reported") << QStringList({"<folder>"}) << QString() << "<folder>";
    QTest::newRow("an empty argument does nothing")
        << QStringList({QString()}) << QString() << QString();
    QTest::newRow("no paths do nothing") << QStringList() << QString() << QString();
}

void OpenWithTest::opensTheFirstPathOnlyAndReportsWhatIsNoFile() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, opened);
    QFETCH(QString, reported);
    makeFile(QStringLiteral("a.csv"));
    makeFile(QStringLiteral("b.mdb"));
    QStringList resolved;
    for (const QString& argument : arguments) {
        resolved << resolveArgument(argument, *m_dir);
    }
    const QString openedPath = opened.isEmpty() ? QString() : path(opened);
    const QString reportedPath = reported.isEmpty() ? QString() : resolveArgument(reported, *m_dir);

    auto window = showWindow();
    window->OpenCommandLinePaths(resolved);
    settle();
    QCOMPARE(m_loaded, openedPath.isEmpty() ? QStringList() : QStringList{openedPath});
    QCOMPARE(statusPanel(*window, 1), reportedPath.isEmpty() ? openedPath : reportedPath);
    std::vector<QStringList> expected;
    if (!reportedPath.isEmpty()) {
        expected.push_back({QStringLiteral("message"), QStringLiteral("ファイル(") + reportedPath +
                                                           QStringLiteral(")がありません。")});
    }
    QCOMPARE(m_ui->records(), expected);
}

void OpenWithTest::aRelativePathIsOpenedFromTheCurrentFolder() {
    const QString file = makeFile(QStringLiteral("rel.csv"));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    auto window = showWindow();
    window->OpenCommandLinePaths({QStringLiteral("rel.csv")});
    QDir::setCurrent(previous);
    QCOMPARE(m_loaded, QStringList{file});
    QCOMPARE(statusPanel(*window, 1), file);
}

void OpenWithTest::useStandardLoaders() {
    registerStandardLoaders();
    m_ui->setDialogSteps(
        QStringLiteral("DialogConfirmCSV"),
        {ScriptStep{ScriptStep::Action::Click, QStringLiteral("Option2"), {}, -1, true},
         ScriptStep{ScriptStep::Action::SetChecked, QStringLiteral("Check1"), {}, -1, true},
         ScriptStep{ScriptStep::Action::Click, QStringLiteral("OKButton"), {}, -1, true}});
}

// With the program's own loaders: the rows of the file reach the list pane.
void OpenWithTest::withTheProgramsLoadersShowsTheRowsOfTheFileGiven() {
    const QString sales = testing::testDataFile(QStringLiteral("sales.csv"));
    QVERIFY2(QFileInfo::exists(sales), qPrintable(sales));
    useStandardLoaders();
    auto window = showWindow();
    window->OpenCommandLinePaths({sales, path(QStringLiteral("ignored.csv"))});
    settle();
    QVERIFY2(!m_ui->scriptError().has_value(), qPrintable(m_ui->scriptError().value_or(QString())));
    QVERIFY(m_ui->records().empty());
    QCOMPARE(programState().CurrentFileType, kFileCsv);
    QCOMPARE(statusPanel(*window, 1), QFileInfo(sales).absoluteFilePath());
    QCOMPARE(window->treePane().nodes().size(), size_t(1));
    QCOMPARE(window->treePane().nodes()[0].text, QStringLiteral("sales.csv"));
    QCOMPARE(window->listPane().columnHeaders(),
             QStringList({"rec", "日付", "店舗", "商品", "数量", "単価", "金額"}));
    QCOMPARE(window->listPane().itemCount(), int64_t(12));
    QCOMPARE(window->listPane().itemText(0), QStringLiteral(" 1"));
    QCOMPARE(window->listPane().subItems(0),
             QStringList({"2026/04/01", "東京本店", "ボールペン", "120", "80", "9600"}));
    // The view shows them too.
    auto* view = window->findChild<QAbstractItemView*>(QStringLiteral("ListView1"));
    QVERIFY(view != nullptr);
    QCOMPARE(view->model()->rowCount(), 12);
}

void OpenWithTest::withTheProgramsLoadersAMissingPathIsReportedAndChangesNothing() {
    useStandardLoaders();
    auto window = showWindow();
    const QString missing = path(QStringLiteral("nowhere.csv"));
    window->OpenCommandLinePaths({missing});
    settle();
    QCOMPARE(m_ui->records(), std::vector<QStringList>({{QStringLiteral("message"),
                                                         QStringLiteral("ファイル(") + missing +
                                                             QStringLiteral(")がありません。")}}));
    QVERIFY(window->treePane().nodes().empty());
    QCOMPARE(window->listPane().itemCount(), int64_t(0));
    QCOMPARE(programState().CurrentFileType, kFileNone);
}

}  // namespace

std::unique_ptr<QObject> newOpenWithTest() {
    return std::make_unique<OpenWithTest>();
}

}  // namespace korvane

#include "OpenWithTest.moc"
