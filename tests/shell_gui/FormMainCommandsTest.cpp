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

#include "ShellGuiTests.h"
#include "WindowTestHarness.h"
#include "export/ConvertCommand.h"
#include "shell/ListPane.h"
#include "shell/TreePane.h"

namespace korvane {
namespace {

const QString kNotADatabase =
    QStringLiteral("このメニューはMDBファイルの内容をCSVへ出力するためのものです。");

// Each returns false when the window lacks the named action or key.
bool trigger(FormMain& window, const QString& action) {
    auto* found = window.findChild<QAction*>(action);
    if (found == nullptr) {
        return false;
    }
    found->trigger();
    settle();
    return true;
}

bool clickToolButton(FormMain& window, const QString& key) {
    auto* button = window.findChild<QToolButton*>(key);
    if (button == nullptr) {
        return false;
    }
    QTest::mouseClick(button, Qt::LeftButton);
    settle();
    return true;
}

// Drops `mime` on the list pane as the desktop would: enter, then drop. Returns whether the
// pane accepted the drag.
bool dropOnList(FormMain& window, QMimeData& mime) {
    auto* list = window.findChild<QAbstractItemView*>(QStringLiteral("ListView1"));
    if (list == nullptr) {
        QTest::qFail("the window has no ListView1", __FILE__, __LINE__);
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

// Counts the calls of the export's target chooser, which answers "cancelled", while it lives.
class CountingChooser {
public:
    CountingChooser() {
        setExportTargetChooser([this]() -> std::optional<ExportTarget> {
            ++calls;
            return std::nullopt;
        });
    }
    ~CountingChooser() { setExportTargetChooser({}); }
    CountingChooser(const CountingChooser&) = delete;
    CountingChooser& operator=(const CountingChooser&) = delete;
    int calls = 0;
};

class FormMainCommandsTest : public WindowTest {
    Q_OBJECT

private slots:
    void openAsksWithTheTitleFiltersFolderAndEmptyName();
    void openAsksInTheProgramFolderEveryTime();
    void openPutsThePathInPanelOneAndOpensIt();
    void cancellingOpenChangesNothing();
    void openingAMissingFileReportsItAndStillShowsThePath();
    void convertExplainsItselfUnlessADatabaseWasOpened_data();
    void convertExplainsItselfUnlessADatabaseWasOpened();
    void toolbarButtonsRunTheMenuHandlers_data();
    void toolbarButtonsRunTheMenuHandlers();
    void toolbarHasOpenSeparatorConvertWithTheirTexts();
    void exitClosesTheWindowAndSavesItsPlace();
    void versionShowsTheSameAboutTextsEveryTime();
    void statusBarShowsPathDateAndTime();
    void dropOpensTheFirstFileOnlyAndIgnoresWhatIsNoFile_data();
    void dropOpensTheFirstFileOnlyAndIgnoresWhatIsNoFile();
    void aDropWithoutFilesIsRefusedAndChangesNothing();
};

void FormMainCommandsTest::openAsksWithTheTitleFiltersFolderAndEmptyName() {
    auto window = showWindow();
    QVERIFY(trigger(*window, QStringLiteral("menuFileOpen")));
    QCOMPARE(m_ui->fileDialogRequests().size(), size_t(1));
    const FileDialogRequest& request = m_ui->fileDialogRequests()[0];
    QCOMPARE(request.title, QStringLiteral("ファイル名の指定"));
    QCOMPARE(request.filters,
             QStringList(
                 {QStringLiteral("CSVファイル (*.csv)"), QStringLiteral("txtファイル (*.txt)"),
                  QStringLiteral("Excelファイル (*.xls)"), QStringLiteral("MDBファイル (*.mdb)")}));
    QCOMPARE(QDir(request.folder), QDir(QCoreApplication::applicationDirPath()));
    QVERIFY(request.fileName.isEmpty());
}

void FormMainCommandsTest::openAsksInTheProgramFolderEveryTime() {
    auto window = showWindow();
    m_ui->queueOpenFileName(makeFile(QStringLiteral("first.csv")));
    QVERIFY(trigger(*window, QStringLiteral("menuFileOpen")));
    QVERIFY(trigger(*window, QStringLiteral("menuFileOpen")));
    QCOMPARE(m_ui->fileDialogRequests().size(), size_t(2));
    QCOMPARE(m_ui->fileDialogRequests()[1].folder, m_ui->fileDialogRequests()[0].folder);
    QVERIFY(m_ui->fileDialogRequests()[1].fileName.isEmpty());
}

void FormMainCommandsTest::openPutsThePathInPanelOneAndOpensIt() {
    auto window = showWindow();
    const QString file = makeFile(QStringLiteral("SALES.CSV"));
    m_ui->queueOpenFileName(file);
    QVERIFY(trigger(*window, QStringLiteral("menuFileOpen")));
    QCOMPARE(statusPanel(*window, 1), file);
    QCOMPARE(m_loaded, QStringList{file});
    QCOMPARE(programState().CurrentFileType, kFileCsv);
    QCOMPARE(window->listPane().itemCount(), int64_t(1));
}

void FormMainCommandsTest::cancellingOpenChangesNothing() {
    auto window = showWindow();
    const QString file = makeFile(QStringLiteral("book.xls"));
    m_ui->queueOpenFileName(file);
    QVERIFY(trigger(*window, QStringLiteral("menuFileOpen")));
    QCOMPARE(programState().CurrentFileType, kFileExcel);

    // Nothing queued: the dialog is cancelled.
    QVERIFY(trigger(*window, QStringLiteral("menuFileOpen")));
    QCOMPARE(statusPanel(*window, 1), file);
    QCOMPARE(programState().CurrentFileType, kFileExcel);
    QCOMPARE(m_loaded, QStringList{file});
    QCOMPARE(window->treePane().nodes().size(), size_t(1));
    QCOMPARE(window->listPane().itemCount(), int64_t(1));
    QVERIFY(m_ui->records().empty());
}

void FormMainCommandsTest::openingAMissingFileReportsItAndStillShowsThePath() {
    auto window = showWindow();
    const QString missing = path(QStringLiteral("gone.csv"));
    m_ui->queueOpenFileName(missing);
    QVERIFY(trigger(*window, QStringLiteral("menuFileOpen")));
    QCOMPARE(statusPanel(*window, 1), missing);
    QCOMPARE(m_ui->records().size(), size_t(1));
    QCOMPARE(m_ui->records()[0][1],
             QStringLiteral("ファイル(") + missing + QStringLiteral(")がありません。"));
    QVERIFY(m_loaded.isEmpty());
}

void FormMainCommandsTest::convertExplainsItselfUnlessADatabaseWasOpened_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("explained");
    QTest::newRow("nothing open") << int(kFileNone) << true;
    QTest::newRow("csv") << int(kFileCsv) << true;
    QTest::newRow("excel") << int(kFileExcel) << true;
    QTest::newRow("txt") << int(kFileTxt) << true;
    QTest::newRow("database") << int(kFileDatabase) << false;
}

void FormMainCommandsTest::convertExplainsItselfUnlessADatabaseWasOpened() {
    QFETCH(int, type);
    QFETCH(bool, explained);
    CountingChooser chooser;
    auto window = showWindow();
    programState().CurrentFileType = static_cast<FileType>(type);
    QVERIFY(trigger(*window, QStringLiteral("menuFileConvert")));
    const bool sawMessage = m_ui->records().size() == 1 &&
                            m_ui->records().back() == QStringList({"message", kNotADatabase});
    QCOMPARE(sawMessage, explained);
    QCOMPARE(chooser.calls, explained ? 0 : 1);
}

void FormMainCommandsTest::toolbarButtonsRunTheMenuHandlers_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("type");
    QTest::newRow("open") << "open"
                          << "menuFileOpen" << int(kFileNone);
    QTest::newRow("convert after a csv") << "convert"
                                         << "menuFileConvert" << int(kFileCsv);
    QTest::newRow("convert after a database") << "convert"
                                              << "menuFileConvert" << int(kFileDatabase);
}

// Each toolbar key runs exactly what its menu command runs: the same requests to the person,
// the same messages, the same state afterwards.
void FormMainCommandsTest::toolbarButtonsRunTheMenuHandlers() {
    QFETCH(QString, key);
    QFETCH(QString, menu);
    QFETCH(int, type);
    CountingChooser chooser;
    struct Outcome {
        bool ran = false;
        std::vector<QStringList> records;
        size_t requests = 0;
        int chooserCalls = 0;
        QString panel1;
        FileType type = kFileNone;
    };
    auto run = [&](bool fromToolbar) {
        ScriptedInteraction ui;
        setUserInteraction(&ui);
        m_loaded.clear();
        InitProgramState();
        programState().CurrentFileType = static_cast<FileType>(type);
        chooser.calls = 0;
        ui.queueOpenFileName(makeFile(QStringLiteral("picked.csv")));
        auto window = showWindow();
        Outcome outcome;
        outcome.ran = fromToolbar ? clickToolButton(*window, key) : trigger(*window, menu);
        outcome.records = ui.records();
        outcome.requests = ui.fileDialogRequests().size();
        outcome.chooserCalls = chooser.calls;
        outcome.panel1 = statusPanel(*window, 1);
        outcome.type = programState().CurrentFileType;
        window.reset();
        setUserInteraction(m_ui.get());
        return outcome;
    };
    const Outcome fromMenu = run(false);
    const Outcome fromToolbar = run(true);
    QVERIFY(fromMenu.ran);
    QVERIFY(fromToolbar.ran);
    QCOMPARE(fromToolbar.records, fromMenu.records);
    QCOMPARE(fromToolbar.requests, fromMenu.requests);
    QCOMPARE(fromToolbar.chooserCalls, fromMenu.chooserCalls);
    QCOMPARE(fromToolbar.panel1, fromMenu.panel1);
    QCOMPARE(fromToolbar.type, fromMenu.type);
    // And the command did something at all.
    QVERIFY(fromMenu.records.size() + fromMenu.requests +
                static_cast<size_t>(fromMenu.chooserCalls) >
            0);
}

void FormMainCommandsTest::toolbarHasOpenSeparatorConvertWithTheirTexts() {
    auto window = showWindow();
    auto* toolbar = window->findChild<QWidget*>(QStringLiteral("Toolbar1"));
    QVERIFY(toolbar != nullptr);
    const QList<QAction*> actions = toolbar->actions();
    QCOMPARE(actions.size(), 3);
    QCOMPARE(actions[0]->objectName(), QStringLiteral("open"));
    QCOMPARE(actions[0]->text(), QStringLiteral("開く\u3000"));
    QCOMPARE(actions[0]->toolTip(), QStringLiteral("ファイルを開く"));
    QVERIFY(actions[1]->isSeparator());
    QCOMPARE(actions[2]->objectName(), QStringLiteral("convert"));
    QCOMPARE(actions[2]->text(), QStringLiteral("変換"));
    QVERIFY(!actions[0]->icon().isNull());
    QVERIFY(!actions[2]->icon().isNull());
}

void FormMainCommandsTest::exitClosesTheWindowAndSavesItsPlace() {
    auto window = showWindow();
    QVERIFY(trigger(*window, QStringLiteral("menuFileExit")));
    QVERIFY(!window->isVisible());
    QVERIFY(!storedText("MainWidth").isEmpty());
}

void FormMainCommandsTest::versionShowsTheSameAboutTextsEveryTime() {
    CapturingInteraction ui;
    ui.setDialogSteps(
        QStringLiteral("DialogAbout"),
        {ScriptStep{ScriptStep::Action::Click, QStringLiteral("cmdOK"), {}, -1, true}});
    setUserInteraction(&ui);
    auto window = showWindow();
    const bool ranFirst = trigger(*window, QStringLiteral("menuHelpVersion"));
    const QStringList first = ui.texts;
    ui.texts.clear();
    const bool ranSecond = trigger(*window, QStringLiteral("menuHelpVersion"));
    window.reset();
    setUserInteraction(m_ui.get());
    QVERIFY(ranFirst && ranSecond);
    QCOMPARE(ui.shown, QStringList({"DialogAbout", "DialogAbout"}));
    QCOMPARE(ui.texts, first);
    QVERIFY(first.contains(QStringLiteral("lblTitle=Korvane")));
    QVERIFY(first.contains(QStringLiteral("lblVersion=ﾊﾞｰｼﾞｮﾝ\u30001.0.0")));
    QVERIFY(!ui.dialogLeftOpen());
    QVERIFY(!ui.scriptError().has_value());
}

void FormMainCommandsTest::statusBarShowsPathDateAndTime() {
    auto window = showWindow();
    QVERIFY(statusPanel(*window, 1).isEmpty());
    QVERIFY2(QDate::fromString(statusPanel(*window, 2), QStringLiteral("yyyy/MM/dd")).isValid(),
             qPrintable(statusPanel(*window, 2)));
    QVERIFY2(QTime::fromString(statusPanel(*window, 3), QStringLiteral("H:mm")).isValid(),
             qPrintable(statusPanel(*window, 3)));
    // Left to right: path, date, time.
    const auto* p1 = window->findChild<QLabel*>(QStringLiteral("Panel1"));
    const auto* p2 = window->findChild<QLabel*>(QStringLiteral("Panel2"));
    const auto* p3 = window->findChild<QLabel*>(QStringLiteral("Panel3"));
    QVERIFY(p1 && p2 && p3);
    QVERIFY(p1->x() < p2->x());
    QVERIFY(p2->x() < p3->x());
}

// What is dropped, by name in the test's folder (a web address stays as it is), and the name
// that is opened (empty: nothing at all happens).
void FormMainCommandsTest::dropOpensTheFirstFileOnlyAndIgnoresWhatIsNoFile_data() {
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<bool>("typeMessage");  // the unsupported-type message of the open dispatch
    QTest::newRow("three files open the first")
        << QStringList({"a.csv", "b.csv", "c.txt"}) << "a.csv" << false;
    QTest::newRow("a folder first does nothing")
        << QStringList({"folder.csv", "a.csv"}) << QString() << false;
    QTest::newRow("a missing path first does nothing")
        << QStringList({"missing.csv", "a.csv"}) << QString() << false;
    QTest::newRow("a hidden file does nothing")
        << QStringList({".hidden.csv"}) << QString() << false;
    QTest::newRow("a web address does nothing")
        << QStringList({"https://example.org/a.csv"}) << QString() << false;
    QTest::newRow("an unsupported file is opened and reported")
        << QStringList({"book.xlsx"}) << "book.xlsx" << true;
}

void FormMainCommandsTest::dropOpensTheFirstFileOnlyAndIgnoresWhatIsNoFile() {
    QFETCH(QStringList, dropped);
    QFETCH(QString, opened);
    QFETCH(bool, typeMessage);
    for (const char* name : {"a.csv", "b.csv", "c.txt", ".hidden.csv", "book.xlsx"}) {
        makeFile(QLatin1String(name));
    }
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder.csv")));
    QList<QUrl> urls;
    for (const QString& name : dropped) {
        urls << (name.startsWith(QLatin1String("https://")) ? QUrl(name)
                                                            : QUrl::fromLocalFile(path(name)));
    }
    const QString openedPath = opened.isEmpty() ? QString() : path(opened);

    auto window = showWindow();
    QMimeData mime;
    mime.setUrls(urls);
    QVERIFY(dropOnList(*window, mime));
    QCOMPARE(statusPanel(*window, 1), openedPath);
    if (typeMessage) {
        QCOMPARE(m_ui->records().size(), size_t(1));
        QCOMPARE(m_ui->records()[0][1],
                 QStringLiteral("ファイルタイプがCSV、XLS、MDBのいずれでもありません。"));
        QVERIFY(m_loaded.isEmpty());
    } else {
        QVERIFY(m_ui->records().empty());
        QCOMPARE(m_loaded, openedPath.isEmpty() ? QStringList() : QStringList{openedPath});
    }
}

void FormMainCommandsTest::aDropWithoutFilesIsRefusedAndChangesNothing() {
    auto window = showWindow();
    QMimeData text;
    text.setText(path(QStringLiteral("a.csv")));
    QVERIFY(!dropOnList(*window, text));
    QMimeData none;
    none.setUrls({});
    QVERIFY(!dropOnList(*window, none));
    QVERIFY(statusPanel(*window, 1).isEmpty());
    QVERIFY(m_ui->records().empty());
    QVERIFY(m_loaded.isEmpty());
}

}  // namespace

std::unique_ptr<QObject> newFormMainCommandsTest() {
    return std::make_unique<FormMainCommandsTest>();
}

}  // namespace korvane

#include "FormMainCommandsTest.moc"
