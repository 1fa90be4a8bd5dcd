// The message and About windows, and how the real seam shows messages and file dialogs.

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ShellGuiTests.h"
#include "platform/Twips.h"
#include "shell/DialogAbout.h"
#include "shell/DialogMessage.h"
#include "shell/JapaneseTranslation.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/QtUserInteraction.h"
#include "shell/TreePane.h"
#include "shell/WrapAnywhereLabel.h"

namespace korvane {
namespace {

void settleEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QString labelText(const QWidget& dialog, const char* name) {
    const auto* label = dialog.findChild<QLabel*>(QLatin1String(name));
    return label != nullptr ? label->text() : QStringLiteral("<none>");
}

QList<DialogMessage*> openMessageWindows() {
    QList<DialogMessage*> open;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* message = qobject_cast<DialogMessage*>(widget); message && message->isVisible()) {
            open.append(message);
        }
    }
    return open;
}

bool hasMinOrMaxButton(const QWidget& window) {
    return window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
}

class ShellDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void messageShowsTheTextInItsDesignPlaces_data();
    void messageShowsTheTextInItsDesignPlaces();
    void aboutShowsTheFixedTexts_data();
    void aboutShowsTheFixedTexts();
    void aboutShowsTheMakerAndItsOKCloses();
    void aModalMessageReturnsOnlyAfterItsOK();
    void modelessMessagesStayOpenSideBySideUntilTheirOK();
    void twoFailedOpensLeaveTwoMessagesBothInSight();
    void fileDialogTakesTheRequest();
    void fileDialogFiltersMatchAnyLetterCase();
    void qtsOwnTextsReadJapanese_data();
    void qtsOwnTextsReadJapanese();
};

void ShellDialogsTest::messageShowsTheTextInItsDesignPlaces_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("grows");
    QTest::newRow("a message") << QStringLiteral("ファイル(/tmp/a.csv)がありません。") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("longer than the label") << QString(150, QChar(u'長')) << true;
    // A path has no blanks: it wraps anywhere, and the words after it are still shown.
    QTest::newRow("a 300-character missing path")
        << QStringLiteral("ファイル(/") + QString(299, QLatin1Char('p')) +
               QStringLiteral(")がありません。")
        << true;
}

void ShellDialogsTest::messageShowsTheTextInItsDesignPlaces() {
    QFETCH(QString, text);
    QFETCH(bool, grows);
    DialogMessage dialog;
    dialog.m_message = text;
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("メッセージ"));
    QCOMPARE(labelText(dialog, "Label1"), text);
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OKButton"));
    QVERIFY(ok != nullptr);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isVisible());
    QVERIFY(!hasMinOrMaxButton(dialog));
    // The text is shown whole: a text that needs more lines than the label holds makes the
    // window grow downwards by as much, with the width and the places above kept.
    auto* label = dialog.findChild<WrapAnywhereLabel*>(QStringLiteral("Label1"));
    QVERIFY(label != nullptr);
    QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
             qPrintable(QStringLiteral("needs %1, has %2")
                            .arg(label->heightForWidth(label->width()))
                            .arg(label->height())));
    const int extra = grows ? label->height() - twipsToPixels(855, &dialog) : 0;
    QCOMPARE(extra > 0, grows);
    QCOMPARE(dialog.size(), twipsSize(6030, 1980, &dialog) + QSize(0, extra));
    QCOMPARE(label->geometry(), twipsRect(840, 240, 5055, 855, &dialog).adjusted(0, 0, 0, extra));
    QCOMPARE(ok->geometry(), twipsRect(120, 1440, 1215, 375, &dialog).translated(0, extra));
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

void ShellDialogsTest::aboutShowsTheFixedTexts_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::newRow("lblTitle") << "lblTitle" << QStringLiteral("Korvane");
    QTest::newRow("lblVersion") << "lblVersion" << QStringLiteral("ﾊﾞｰｼﾞｮﾝ\u30001.0.0");
    QTest::newRow("Label2") << "Label2"
                            << QStringLiteral(
                                   "CSVファイル、EXCELファイル、MDBファイルの中身を"
                                   "見るためのツールです。");
}

void ShellDialogsTest::aboutShowsTheFixedTexts() {
    QFETCH(QString, label);
    QFETCH(QString, text);
    DialogAbout dialog;
    dialog.show();
    QCOMPARE(labelText(dialog, qPrintable(label)), text);
}

void ShellDialogsTest::aboutShowsTheMakerAndItsOKCloses() {
    DialogAbout dialog;
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("バージョン"));
    QCOMPARE(dialog.size(), twipsSize(6030, 2955, &dialog));
    QVERIFY(!hasMinOrMaxButton(dialog));
    const auto* title = dialog.findChild<QLabel*>(QStringLiteral("lblTitle"));
    QVERIFY(title != nullptr);
    QVERIFY(title->font().bold());
    QCOMPARE(title->font().pointSizeF(), 15.75);
    // The maker's three lines: name, web address, e-mail address.
    QStringList maker;
    for (const QLabel* label : dialog.findChildren<QLabel*>(QStringLiteral("Label1"))) {
        maker << label->text();
    }
    QCOMPARE(maker.size(), 3);
    QCOMPARE(maker[0], QStringLiteral("Korvane Project"));
    QVERIFY(maker[1].startsWith(QStringLiteral("https://")));
    QVERIFY(maker[2].contains(QLatin1Char('@')));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"));
    QVERIFY(ok != nullptr);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(ok->geometry(), twipsRect(4395, 2160, 1380, 345, &dialog));
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

void ShellDialogsTest::aModalMessageReturnsOnlyAfterItsOK() {
    QtUserInteraction ui;
    QString seen;
    bool found = false;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        auto* message = qobject_cast<DialogMessage*>(QApplication::activeModalWidget());
        if (message == nullptr) {
            // Not our message: close whatever waits, so the test fails instead of hanging.
            if (QWidget* other = QApplication::activeModalWidget()) {
                other->close();
            }
            return;
        }
        found = true;
        wasModal = message->isModal();
        seen = labelText(*message, "Label1");
        message->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    });
    ui.showMessage(QStringLiteral("テーブルがありません。"), true);
    QVERIFY(found);
    QVERIFY(wasModal);
    QCOMPARE(seen, QStringLiteral("テーブルがありません。"));
    settleEvents();
    QVERIFY(openMessageWindows().isEmpty());
}

void ShellDialogsTest::modelessMessagesStayOpenSideBySideUntilTheirOK() {
    QtUserInteraction ui;
    const QString first = QStringLiteral("ファイル(/no/such.csv)がありません。");
    const QString second = QStringLiteral("ファイルタイプがCSV、XLS、MDBのいずれでもありません。");
    ui.showMessage(first, false);
    ui.showMessage(second, false);
    settleEvents();
    QList<DialogMessage*> open = openMessageWindows();
    QCOMPARE(open.size(), 2);
    QStringList texts;
    for (const DialogMessage* message : open) {
        QVERIFY(!message->isModal());
        texts << labelText(*message, "Label1");
    }
    texts.sort();
    QStringList expected{first, second};
    expected.sort();
    QCOMPARE(texts, expected);

    // Each OK closes its own window, which is then released.
    QPointer<DialogMessage> closed = open[0];
    const QString remaining = labelText(*open[1], "Label1");
    closed->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    settleEvents();
    QVERIFY(closed.isNull());
    open = openMessageWindows();
    QCOMPARE(open.size(), 1);
    QCOMPARE(labelText(*open[0], "Label1"), remaining);
    open[0]->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    settleEvents();
    QVERIFY(openMessageWindows().isEmpty());
}

void ShellDialogsTest::twoFailedOpensLeaveTwoMessagesBothInSight() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString unsupported = dir.filePath(QStringLiteral("book.xlsx"));
    QFile file(unsupported);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QtUserInteraction ui;
    setUserInteraction(&ui);
    InitProgramState();
    TreePane tree;
    ListPane list;
    const QString missing = QStringLiteral("/no/such.csv");
    OpenFile(missing, tree, list);
    OpenFile(unsupported, tree, list);
    setUserInteraction(nullptr);
    settleEvents();
    const QList<DialogMessage*> open = openMessageWindows();
    QCOMPARE(open.size(), 2);
    DialogMessage* first = open[0];
    DialogMessage* second = open[1];
    if (labelText(*first, "Label1") !=
        QStringLiteral("ファイル(") + missing + QStringLiteral(")がありません。")) {
        std::swap(first, second);
    }
    QCOMPARE(labelText(*first, "Label1"),
             QStringLiteral("ファイル(") + missing + QStringLiteral(")がありません。"));
    QCOMPARE(labelText(*second, "Label1"),
             QStringLiteral("ファイルタイプがCSV、XLS、MDBのいずれでもありません。"));
    // The later one opens moved down and to the right, as windows cascade: the first one's
    // title and left edge stay in sight.
    const QPoint offset = second->pos() - first->pos();
    QVERIFY2(offset.x() >= 20 && offset.y() >= 20,
             qPrintable(QStringLiteral("offset %1,%2").arg(offset.x()).arg(offset.y())));
    for (DialogMessage* message : open) {
        QVERIFY(message->isVisible());
        message->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    }
    settleEvents();
    QVERIFY(openMessageWindows().isEmpty());
}

void ShellDialogsTest::fileDialogTakesTheRequest() {
    FileDialogRequest request;
    request.title = QStringLiteral("ファイル名の指定");
    request.filters = {QStringLiteral("CSVファイル (*.csv)"),
                       QStringLiteral("MDBファイル (*.mdb)")};
    request.folder = QDir::tempPath();
    QFileDialog dialog;
    ConfigureFileDialog(dialog, request, false);
    QCOMPARE(dialog.windowTitle(), request.title);
    QCOMPARE(dialog.nameFilters(), request.filters);
    QCOMPARE(dialog.selectedNameFilter(), request.filters[0]);
    QCOMPARE(QDir(dialog.directory()), QDir(request.folder));
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
}

void ShellDialogsTest::fileDialogFiltersMatchAnyLetterCase() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const char* name : {"UPPER.CSV", "lower.csv", "Mixed.Csv", "notes.txt", "book.xls"}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    FileDialogRequest request;
    request.filters = {QStringLiteral("CSVファイル (*.csv)"),
                       QStringLiteral("txtファイル (*.txt)")};
    request.folder = dir.path();
    QFileDialog dialog;
    ConfigureFileDialog(dialog, request, false);
    auto* model = dialog.findChild<QFileSystemModel*>();
    QVERIFY(model != nullptr);
    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    dialog.show();
    // The model reads folders in a thread of its own and may report others (the parents) first.
    const auto folderLoaded = [&loaded, &dir] {
        for (const QList<QVariant>& arguments : loaded) {
            if (QDir(arguments.value(0).toString()) == QDir(dir.path())) {
                return true;
            }
        }
        return false;
    };
    while (!folderLoaded()) {
        QVERIFY(loaded.wait(30000));
    }
    const QModelIndex folder = model->index(dir.path());
    QStringList shown;
    for (int row = 0; row < model->rowCount(folder); ++row) {
        const QModelIndex entry = model->index(row, 0, folder);
        if (entry.flags().testFlag(Qt::ItemIsEnabled)) {
            shown << model->fileName(entry);
        }
    }
    shown.sort();
    QCOMPARE(shown, QStringList({"Mixed.Csv", "UPPER.CSV", "lower.csv"}));
}

// The texts Qt itself puts on the screen: the file dialogs' buttons, the overwrite question, the
// question's buttons and a text box's context menu. The test main installs the translation as
// the program does, and ctest runs it under LANG=C.
void ShellDialogsTest::qtsOwnTextsReadJapanese_data() {
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");
    const auto acceptButton = [](bool save) {
        FileDialogRequest request;
        request.folder = QDir::tempPath();
        QFileDialog dialog;
        ConfigureFileDialog(dialog, request, save);
        const auto* buttons = dialog.findChild<QDialogButtonBox*>();
        const QList<QAbstractButton*> accept =
            buttons != nullptr ? buttons->buttons() : QList<QAbstractButton*>();
        QStringList texts;
        for (const QAbstractButton* button : accept) {
            texts << button->text();
        }
        return texts.join(QLatin1Char('|'));
    };
    QTest::newRow("open dialog") << acceptButton(false) << QStringLiteral("開く(&O)|キャンセル");
    QTest::newRow("save dialog") << acceptButton(true) << QStringLiteral("保存(&S)|キャンセル");
    QTest::newRow("overwrite question")
        << QFileDialog::tr("%1 already exists.\nDo you want to replace it?").arg(u"a.csv")
        << QStringLiteral("a.csv は既に存在します。\n置き換えますか?");
    QMessageBox question(QMessageBox::Warning, QString(), QString(),
                         QMessageBox::Yes | QMessageBox::No);
    QTest::newRow("question buttons")
        << question.button(QMessageBox::Yes)->text() + QLatin1Char('|') +
               question.button(QMessageBox::No)->text()
        << QStringLiteral("はい(&Y)|いいえ(&N)");
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList items;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            items << action->text().section(QLatin1Char('\t'), 0, 0);
        }
    }
    QTest::newRow("context menu")
        << items.join(QLatin1Char('|'))
        << QStringLiteral(
               "元に戻す(&U)|やり直す(&R)|切り取り(&T)|コピー(&C)|貼り付け(&P)|削除|すべてを選択");
    // Our own table stands in where Qt's translation is silent: each of its texts must be one
    // Qt really shows, so Qt's translation knows it too (a misspelt source would never match).
    QStringList unknown;
    for (const QtText& text : ownJapaneseSources()) {
        if (QCoreApplication::translate(text.context, text.source) ==
            QString::fromUtf8(text.source)) {
            unknown << QLatin1String(text.context) + QLatin1Char(':') + QLatin1String(text.source);
        }
    }
    QTest::newRow("our own texts are Qt's texts") << unknown.join(QLatin1Char('|')) << QString();
}

void ShellDialogsTest::qtsOwnTextsReadJapanese() {
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    if (!installJapaneseTranslation(*QCoreApplication::instance())) {
        QSKIP("Qt's Japanese translation (qt6-translations-l10n) is not installed");
    }
    QCOMPARE(shown, expected);
}

}  // namespace

std::unique_ptr<QObject> newShellDialogsTest() {
    return std::make_unique<ShellDialogsTest>();
}

}  // namespace korvane

#include "ShellDialogsTest.moc"
