// Paths given to korvane on its command line (a file manager's "Open With") are opened like a
// file dropped on the list pane: the first only, a missing one ignored without a word.

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>

#include "WindowTestHarness.h"
#include "app/StandardLoaders.h"
#include "shell/ListPane.h"
#include "shell/TreePane.h"

namespace korvane {
namespace {

using OpenWith = WindowTest;

TEST_F(OpenWith, OpensTheFirstPathOnlyAndIgnoresWhatIsNoFile) {
    const QString a = makeFile(QStringLiteral("a.csv"));
    const QString b = makeFile(QStringLiteral("b.mdb"));
    const QString missing = path(QStringLiteral("missing.csv"));
    const struct {
        const char* name;
        QStringList arguments;
        QString opened;
    } cases[] = {
        {"one path", {a}, a},
        {"further paths are ignored", {a, b}, a},
        {"a file address is taken as its path", {QUrl::fromLocalFile(a).toString()}, a},
        {"a missing first path does nothing", {missing, a}, {}},
        {"a folder does nothing", {m_dir.path()}, {}},
        {"an empty argument does nothing", {QString()}, {}},
        {"no paths do nothing", {}, {}},
    };
    for (const auto& c : cases) {
        ScriptedInteraction ui;
        setUserInteraction(&ui);
        m_loaded.clear();
        InitProgramState();
        auto window = showWindow();
        window->OpenCommandLinePaths(c.arguments);
        settle();
        EXPECT_EQ(m_loaded, c.opened.isEmpty() ? QStringList() : QStringList{c.opened}) << c.name;
        EXPECT_EQ(statusPanel(*window, 1), c.opened) << c.name;
        EXPECT_TRUE(ui.records().empty()) << c.name;
        window.reset();
        setUserInteraction(&m_ui);
    }
}

TEST_F(OpenWith, ARelativePathIsOpenedFromTheCurrentFolder) {
    const QString file = makeFile(QStringLiteral("rel.csv"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    auto window = showWindow();
    window->OpenCommandLinePaths({QStringLiteral("rel.csv")});
    QDir::setCurrent(previous);
    EXPECT_EQ(m_loaded, QStringList{file});
    EXPECT_EQ(statusPanel(*window, 1), file);
}

// With the program's own loaders: the rows of the file reach the list pane.
class OpenWithLoaders : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        registerStandardLoaders();
        // All lines, the first holding the titles.
        m_ui.setDialogSteps(
            QStringLiteral("DialogConfirmCSV"),
            {ScriptStep{ScriptStep::Action::Click, QStringLiteral("Option2"), {}, -1, true},
             ScriptStep{ScriptStep::Action::SetChecked, QStringLiteral("Check1"), {}, -1, true},
             ScriptStep{ScriptStep::Action::Click, QStringLiteral("OKButton"), {}, -1, true}});
    }
};

TEST_F(OpenWithLoaders, ShowsTheRowsOfTheFileGiven) {
    const QString sales = QDir(QString::fromLocal8Bit(qgetenv("KORVANE_TEST_DATA")))
                              .filePath(QStringLiteral("sales.csv"));
    if (!QFileInfo::exists(sales)) {
        GTEST_SKIP() << "no test data at " << sales.toStdString();
    }
    auto window = showWindow();
    window->OpenCommandLinePaths({sales, path(QStringLiteral("ignored.csv"))});
    settle();
    EXPECT_FALSE(m_ui.scriptError().has_value())
        << m_ui.scriptError().value_or(QString()).toStdString();
    EXPECT_TRUE(m_ui.records().empty());
    EXPECT_EQ(programState().CurrentFileType, kFileCsv);
    EXPECT_EQ(statusPanel(*window, 1), QFileInfo(sales).absoluteFilePath());
    ASSERT_EQ(window->treePane().nodes().size(), 1u);
    EXPECT_EQ(window->treePane().nodes()[0].text, QStringLiteral("sales.csv"));
    EXPECT_EQ(window->listPane().columnHeaders(),
              QStringList({"rec", "日付", "店舗", "商品", "数量", "単価", "金額"}));
    ASSERT_EQ(window->listPane().itemCount(), 12);
    EXPECT_EQ(window->listPane().itemText(0), QStringLiteral(" 1"));
    EXPECT_EQ(window->listPane().subItems(0),
              QStringList({"2026/04/01", "東京本店", "ボールペン", "120", "80", "9600"}));
    // The view shows them too.
    auto* view = window->findChild<QAbstractItemView*>(QStringLiteral("ListView1"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->model()->rowCount(), 12);
}

TEST_F(OpenWithLoaders, AMissingPathShowsNothingAndSaysNothing) {
    auto window = showWindow();
    window->OpenCommandLinePaths({path(QStringLiteral("nowhere.csv"))});
    settle();
    EXPECT_TRUE(m_ui.records().empty());
    EXPECT_TRUE(window->treePane().nodes().empty());
    EXPECT_EQ(window->listPane().itemCount(), 0);
    EXPECT_EQ(programState().CurrentFileType, kFileNone);
}

}  // namespace
}  // namespace korvane
