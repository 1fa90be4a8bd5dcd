// The main window's commands: File > Open, Convert, Exit, Help > Version, the toolbar, the drop
// on the list pane and the status bar.

#include <QAbstractItemView>
#include <QAction>
#include <QCoreApplication>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <QTime>
#include <QToolButton>

#include "WindowTestHarness.h"
#include "export/ConvertCommand.h"
#include "shell/ListPane.h"
#include "shell/TreePane.h"

namespace korvane {
namespace {

const QString kNotADatabase =
    QStringLiteral("このメニューはMDBファイルの内容をCSVへ出力するためのものです。");

void trigger(FormMain& window, const char* action) {
    auto* found = window.findChild<QAction*>(QLatin1String(action));
    ASSERT_NE(found, nullptr) << action;
    found->trigger();
    settle();
}

void clickToolButton(FormMain& window, const char* key) {
    auto* button = window.findChild<QToolButton*>(QLatin1String(key));
    ASSERT_NE(button, nullptr) << key;
    QTest::mouseClick(button, Qt::LeftButton);
    settle();
}

using FormMainCommands = WindowTest;

TEST_F(FormMainCommands, OpenAsksWithTheTitleFiltersFolderAndEmptyName) {
    auto window = showWindow();
    trigger(*window, "menuFileOpen");
    ASSERT_EQ(m_ui.fileDialogRequests().size(), 1u);
    const FileDialogRequest& request = m_ui.fileDialogRequests()[0];
    EXPECT_EQ(request.title, QStringLiteral("ファイル名の指定"));
    EXPECT_EQ(request.filters, QStringList({QStringLiteral("CSVファイル (*.csv)"),
                                            QStringLiteral("txtファイル (*.txt)"),
                                            QStringLiteral("Excelファイル (*.xls)"),
                                            QStringLiteral("MDBファイル (*.mdb)")}));
    EXPECT_EQ(QDir(request.folder), QDir(QCoreApplication::applicationDirPath()));
    EXPECT_TRUE(request.fileName.isEmpty());
}

TEST_F(FormMainCommands, OpenAsksInTheProgramFolderEveryTime) {
    auto window = showWindow();
    m_ui.queueOpenFileName(makeFile(QStringLiteral("first.csv")));
    trigger(*window, "menuFileOpen");
    trigger(*window, "menuFileOpen");
    ASSERT_EQ(m_ui.fileDialogRequests().size(), 2u);
    EXPECT_EQ(m_ui.fileDialogRequests()[1].folder, m_ui.fileDialogRequests()[0].folder);
    EXPECT_TRUE(m_ui.fileDialogRequests()[1].fileName.isEmpty());
}

TEST_F(FormMainCommands, OpenPutsThePathInPanelOneAndOpensIt) {
    auto window = showWindow();
    const QString file = makeFile(QStringLiteral("SALES.CSV"));
    m_ui.queueOpenFileName(file);
    trigger(*window, "menuFileOpen");
    EXPECT_EQ(statusPanel(*window, 1), file);
    EXPECT_EQ(m_loaded, QStringList{file});
    EXPECT_EQ(programState().CurrentFileType, kFileCsv);
    EXPECT_EQ(window->listPane().itemCount(), 1);
}

TEST_F(FormMainCommands, CancellingOpenChangesNothing) {
    auto window = showWindow();
    const QString file = makeFile(QStringLiteral("book.xls"));
    m_ui.queueOpenFileName(file);
    trigger(*window, "menuFileOpen");
    ASSERT_EQ(programState().CurrentFileType, kFileExcel);

    trigger(*window, "menuFileOpen");  // nothing queued: the dialog is cancelled
    EXPECT_EQ(statusPanel(*window, 1), file);
    EXPECT_EQ(programState().CurrentFileType, kFileExcel);
    EXPECT_EQ(m_loaded, QStringList{file});
    EXPECT_EQ(window->treePane().nodes().size(), 1u);
    EXPECT_EQ(window->listPane().itemCount(), 1);
    EXPECT_TRUE(m_ui.records().empty());
}

TEST_F(FormMainCommands, OpeningAMissingFileReportsItAndStillShowsThePath) {
    auto window = showWindow();
    const QString missing = path(QStringLiteral("gone.csv"));
    m_ui.queueOpenFileName(missing);
    trigger(*window, "menuFileOpen");
    EXPECT_EQ(statusPanel(*window, 1), missing);
    ASSERT_EQ(m_ui.records().size(), 1u);
    EXPECT_EQ(m_ui.records()[0][1],
              QStringLiteral("ファイル(") + missing + QStringLiteral(")がありません。"));
    EXPECT_TRUE(m_loaded.isEmpty());
}

TEST_F(FormMainCommands, ConvertExplainsItselfUnlessADatabaseWasOpened) {
    int chooserCalls = 0;
    setExportTargetChooser([&chooserCalls]() -> std::optional<ExportTarget> {
        ++chooserCalls;
        return std::nullopt;
    });
    auto window = showWindow();
    const struct {
        FileType type;
        bool explained;
    } cases[] = {{kFileNone, true},
                 {kFileCsv, true},
                 {kFileExcel, true},
                 {kFileTxt, true},
                 {kFileDatabase, false}};
    for (const auto& c : cases) {
        programState().CurrentFileType = c.type;
        const size_t before = m_ui.records().size();
        const int callsBefore = chooserCalls;
        trigger(*window, "menuFileConvert");
        const bool explained = m_ui.records().size() == before + 1 &&
                               m_ui.records().back() == QStringList({"message", kNotADatabase});
        EXPECT_EQ(explained, c.explained) << c.type;
        EXPECT_EQ(chooserCalls - callsBefore, c.explained ? 0 : 1) << c.type;
    }
    setExportTargetChooser({});
}

// Each toolbar key runs exactly what its menu command runs: the same requests to the person,
// the same messages, the same state afterwards.
TEST_F(FormMainCommands, ToolbarButtonsRunTheMenuHandlers) {
    int chooserCalls = 0;
    setExportTargetChooser([&chooserCalls]() -> std::optional<ExportTarget> {
        ++chooserCalls;
        return std::nullopt;
    });
    const struct {
        const char* key;
        const char* menu;
        FileType type;
    } cases[] = {{"open", "menuFileOpen", kFileNone},
                 {"convert", "menuFileConvert", kFileCsv},
                 {"convert", "menuFileConvert", kFileDatabase}};
    for (const auto& c : cases) {
        struct Outcome {
            std::vector<QStringList> records;
            size_t requests;
            int chooserCalls;
            QString panel1;
            FileType type;
        };
        auto run = [&](bool fromToolbar) {
            ScriptedInteraction ui;
            setUserInteraction(&ui);
            m_loaded.clear();
            InitProgramState();
            programState().CurrentFileType = c.type;
            chooserCalls = 0;
            ui.queueOpenFileName(makeFile(QStringLiteral("picked.csv")));
            auto window = showWindow();
            if (fromToolbar) {
                clickToolButton(*window, c.key);
            } else {
                trigger(*window, c.menu);
            }
            Outcome outcome{ui.records(), ui.fileDialogRequests().size(), chooserCalls,
                            statusPanel(*window, 1), programState().CurrentFileType};
            window.reset();
            setUserInteraction(&m_ui);
            return outcome;
        };
        const Outcome menu = run(false);
        const Outcome toolbar = run(true);
        EXPECT_EQ(toolbar.records, menu.records) << c.key;
        EXPECT_EQ(toolbar.requests, menu.requests) << c.key;
        EXPECT_EQ(toolbar.chooserCalls, menu.chooserCalls) << c.key;
        EXPECT_EQ(toolbar.panel1, menu.panel1) << c.key;
        EXPECT_EQ(toolbar.type, menu.type) << c.key;
        // And the command did something at all.
        EXPECT_GT(menu.records.size() + menu.requests + static_cast<size_t>(menu.chooserCalls), 0u)
            << c.key;
    }
    setExportTargetChooser({});
}

TEST_F(FormMainCommands, ToolbarHasOpenSeparatorConvertWithTheirTexts) {
    auto window = showWindow();
    auto* toolbar = window->findChild<QWidget*>(QStringLiteral("Toolbar1"));
    ASSERT_NE(toolbar, nullptr);
    const QList<QAction*> actions = toolbar->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->objectName(), QStringLiteral("open"));
    EXPECT_EQ(actions[0]->text(), QStringLiteral("開く\u3000"));
    EXPECT_EQ(actions[0]->toolTip(), QStringLiteral("ファイルを開く"));
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->objectName(), QStringLiteral("convert"));
    EXPECT_EQ(actions[2]->text(), QStringLiteral("変換"));
    EXPECT_FALSE(actions[0]->icon().isNull());
    EXPECT_FALSE(actions[2]->icon().isNull());
}

TEST_F(FormMainCommands, ExitClosesTheWindowAndSavesItsPlace) {
    auto window = showWindow();
    trigger(*window, "menuFileExit");
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(storedText("MainWidth").isEmpty());
}

// Notes what a dialog showed while it was open, then lets the script answer it.
class CapturingInteraction : public ScriptedInteraction {
public:
    void runModal(QDialog& dialog) override {
        shown.append(dialog.objectName());
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            if (!label->text().isEmpty()) {
                texts.append(label->objectName() + QLatin1Char('=') + label->text());
            }
        }
        ScriptedInteraction::runModal(dialog);
    }
    QStringList shown;
    QStringList texts;
};

TEST_F(FormMainCommands, VersionShowsTheSameAboutTextsEveryTime) {
    CapturingInteraction ui;
    ui.setDialogSteps(
        QStringLiteral("DialogAbout"),
        {ScriptStep{ScriptStep::Action::Click, QStringLiteral("cmdOK"), {}, -1, true}});
    setUserInteraction(&ui);
    auto window = showWindow();
    trigger(*window, "menuHelpVersion");
    const QStringList first = ui.texts;
    ui.texts.clear();
    trigger(*window, "menuHelpVersion");
    EXPECT_EQ(ui.shown, QStringList({"DialogAbout", "DialogAbout"}));
    EXPECT_EQ(ui.texts, first);
    EXPECT_TRUE(first.contains(QStringLiteral("lblTitle=Korvane")));
    EXPECT_TRUE(first.contains(QStringLiteral("lblVersion=ﾊﾞｰｼﾞｮﾝ\u30001.0.0")));
    EXPECT_FALSE(ui.dialogLeftOpen());
    EXPECT_FALSE(ui.scriptError().has_value());
    setUserInteraction(&m_ui);
}

TEST_F(FormMainCommands, StatusBarShowsPathDateAndTime) {
    auto window = showWindow();
    EXPECT_TRUE(statusPanel(*window, 1).isEmpty());
    EXPECT_TRUE(QDate::fromString(statusPanel(*window, 2), QStringLiteral("yyyy/MM/dd")).isValid())
        << statusPanel(*window, 2).toStdString();
    EXPECT_TRUE(QTime::fromString(statusPanel(*window, 3), QStringLiteral("H:mm")).isValid())
        << statusPanel(*window, 3).toStdString();
    // Left to right: path, date, time.
    const auto* p1 = window->findChild<QLabel*>(QStringLiteral("Panel1"));
    const auto* p2 = window->findChild<QLabel*>(QStringLiteral("Panel2"));
    const auto* p3 = window->findChild<QLabel*>(QStringLiteral("Panel3"));
    ASSERT_TRUE(p1 && p2 && p3);
    EXPECT_LT(p1->x(), p2->x());
    EXPECT_LT(p2->x(), p3->x());
}

// Drops `mime` on the list pane as the desktop would: enter, then drop. Returns whether the
// pane accepted the drag.
bool dropOnList(FormMain& window, QMimeData& mime) {
    auto* list = window.findChild<QAbstractItemView*>(QStringLiteral("ListView1"));
    EXPECT_NE(list, nullptr);
    if (list == nullptr) {
        return false;
    }
    QWidget* target = list->viewport();
    const QPoint centre = target->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    settle();
    return enter.isAccepted();
}

TEST_F(FormMainCommands, DropOpensTheFirstFileOnlyAndIgnoresWhatIsNoFile) {
    const QString a = makeFile(QStringLiteral("a.csv"));
    const QString b = makeFile(QStringLiteral("b.csv"));
    const QString c = makeFile(QStringLiteral("c.txt"));
    const QString hidden = makeFile(QStringLiteral(".hidden.csv"));
    const QString xlsx = makeFile(QStringLiteral("book.xlsx"));
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.csv"));
    const QString folder = path(QStringLiteral("folder.csv"));
    const QString missing = path(QStringLiteral("missing.csv"));
    auto local = [](const QString& file) { return QUrl::fromLocalFile(file); };

    const struct {
        const char* name;
        QList<QUrl> urls;
        QString opened;    // empty: nothing at all happens
        bool typeMessage;  // the unsupported-type message of the open dispatch
    } cases[] = {
        {"three files open the first", {local(a), local(b), local(c)}, a, false},
        {"a folder first does nothing", {local(folder), local(a)}, {}, false},
        {"a missing path first does nothing", {local(missing), local(a)}, {}, false},
        {"a hidden file does nothing", {local(hidden)}, {}, false},
        {"a web address does nothing",
         {QUrl(QStringLiteral("https://example.org/a.csv"))},
         {},
         false},
        {"an unsupported file is opened and reported", {local(xlsx)}, xlsx, true},
    };
    for (const auto& tc : cases) {
        ScriptedInteraction ui;
        setUserInteraction(&ui);
        m_loaded.clear();
        InitProgramState();
        auto window = showWindow();
        QMimeData mime;
        mime.setUrls(tc.urls);
        EXPECT_TRUE(dropOnList(*window, mime)) << tc.name;
        EXPECT_EQ(statusPanel(*window, 1), tc.opened) << tc.name;
        if (tc.typeMessage) {
            ASSERT_EQ(ui.records().size(), 1u) << tc.name;
            EXPECT_EQ(ui.records()[0][1],
                      QStringLiteral("ファイルタイプがCSV、XLS、MDBのいずれでもありません。"));
            EXPECT_TRUE(m_loaded.isEmpty()) << tc.name;
        } else {
            EXPECT_TRUE(ui.records().empty()) << tc.name;
            EXPECT_EQ(m_loaded, tc.opened.isEmpty() ? QStringList() : QStringList{tc.opened})
                << tc.name;
        }
        window.reset();
        setUserInteraction(&m_ui);
    }
}

TEST_F(FormMainCommands, ADropWithoutFilesIsRefusedAndChangesNothing) {
    auto window = showWindow();
    QMimeData text;
    text.setText(path(QStringLiteral("a.csv")));
    EXPECT_FALSE(dropOnList(*window, text));
    QMimeData none;
    none.setUrls({});
    EXPECT_FALSE(dropOnList(*window, none));
    EXPECT_TRUE(statusPanel(*window, 1).isEmpty());
    EXPECT_TRUE(m_ui.records().empty());
    EXPECT_TRUE(m_loaded.isEmpty());
}

}  // namespace
}  // namespace korvane
