// The message and About windows, and how the real seam shows messages and file dialogs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/Twips.h"
#include "shell/DialogAbout.h"
#include "shell/DialogMessage.h"
#include "shell/QtUserInteraction.h"

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

TEST(DialogMessageTest, ShowsTheTextInItsDesignPlaces) {
    const struct {
        const char* name;
        QString text;
    } cases[] = {
        {"a message", QStringLiteral("ファイル(/tmp/a.csv)がありません。")},
        {"empty", QString()},
        {"longer than the label", QString(400, QChar(u'長'))},
    };
    for (const auto& c : cases) {
        DialogMessage dialog;
        dialog.m_message = c.text;
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("メッセージ")) << c.name;
        EXPECT_EQ(labelText(dialog, "Label1"), c.text) << c.name;
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OKButton"));
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->text(), QStringLiteral("OK"));
        EXPECT_TRUE(ok->isVisible()) << c.name;
        // The window and the label keep their sizes whatever the text: it wraps and is cut.
        EXPECT_EQ(dialog.size(), twipsSize(6030, 1980, &dialog)) << c.name;
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->geometry(),
                  twipsRect(840, 240, 5055, 855, &dialog))
            << c.name;
        EXPECT_EQ(ok->geometry(), twipsRect(120, 1440, 1215, 375, &dialog)) << c.name;
        EXPECT_FALSE(hasMinOrMaxButton(dialog)) << c.name;
        ok->click();
        EXPECT_FALSE(dialog.isVisible()) << c.name;
    }
}

TEST(DialogAboutTest, ShowsTheFixedTexts) {
    DialogAbout dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("バージョン"));
    EXPECT_EQ(dialog.size(), twipsSize(6030, 2955, &dialog));
    EXPECT_FALSE(hasMinOrMaxButton(dialog));
    const struct {
        const char* name;
        QString text;
    } labels[] = {
        {"lblTitle", QStringLiteral("Korvane")},
        {"lblVersion", QStringLiteral("ﾊﾞｰｼﾞｮﾝ\u30001.0.0")},
        {"Label2",
         QStringLiteral("CSVファイル、EXCELファイル、MDBファイルの中身を見るためのツールです。")},
    };
    for (const auto& l : labels) {
        EXPECT_EQ(labelText(dialog, l.name), l.text) << l.name;
    }
    const auto* title = dialog.findChild<QLabel*>(QStringLiteral("lblTitle"));
    EXPECT_TRUE(title->font().bold());
    EXPECT_DOUBLE_EQ(title->font().pointSizeF(), 15.75);
    // The maker's three lines: name, web address, e-mail address.
    QStringList maker;
    for (const QLabel* label : dialog.findChildren<QLabel*>(QStringLiteral("Label1"))) {
        maker << label->text();
    }
    ASSERT_EQ(maker.size(), 3);
    EXPECT_EQ(maker[0], QStringLiteral("Korvane Project"));
    EXPECT_TRUE(maker[1].startsWith(QStringLiteral("https://")));
    EXPECT_TRUE(maker[2].contains(QLatin1Char('@')));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_EQ(ok->geometry(), twipsRect(4395, 2160, 1380, 345, &dialog));
    ok->click();
    EXPECT_FALSE(dialog.isVisible());
}

TEST(QtUserInteractionTest, AModalMessageReturnsOnlyAfterItsOK) {
    QtUserInteraction ui;
    QString seen;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        auto* message = qobject_cast<DialogMessage*>(QApplication::activeModalWidget());
        ASSERT_NE(message, nullptr);
        wasModal = message->isModal();
        seen = labelText(*message, "Label1");
        message->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    });
    ui.showMessage(QStringLiteral("テーブルがありません。"), true);
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(seen, QStringLiteral("テーブルがありません。"));
    settleEvents();
    EXPECT_TRUE(openMessageWindows().isEmpty());
}

TEST(QtUserInteractionTest, ModelessMessagesStayOpenSideBySideUntilTheirOK) {
    QtUserInteraction ui;
    const QString first = QStringLiteral("ファイル(/no/such.csv)がありません。");
    const QString second = QStringLiteral("ファイルタイプがCSV、XLS、MDBのいずれでもありません。");
    ui.showMessage(first, false);
    ui.showMessage(second, false);
    settleEvents();
    QList<DialogMessage*> open = openMessageWindows();
    ASSERT_EQ(open.size(), 2);
    QStringList texts;
    for (const DialogMessage* message : open) {
        EXPECT_FALSE(message->isModal());
        texts << labelText(*message, "Label1");
    }
    texts.sort();
    QStringList expected{first, second};
    expected.sort();
    EXPECT_EQ(texts, expected);

    // Each OK closes its own window, which is then released.
    QPointer<DialogMessage> closed = open[0];
    const QString remaining = labelText(*open[1], "Label1");
    closed->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    settleEvents();
    EXPECT_TRUE(closed.isNull());
    open = openMessageWindows();
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(labelText(*open[0], "Label1"), remaining);
    open[0]->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    settleEvents();
    EXPECT_TRUE(openMessageWindows().isEmpty());
}

TEST(QtUserInteractionTest, FileDialogTakesTheRequestAndIgnoresLetterCase) {
    FileDialogRequest request;
    request.title = QStringLiteral("ファイル名の指定");
    request.filters = {QStringLiteral("CSVファイル (*.csv)"),
                       QStringLiteral("MDBファイル (*.mdb)")};
    request.folder = QDir::tempPath();
    QFileDialog dialog;
    ConfigureFileDialog(dialog, request, false);
    EXPECT_EQ(dialog.windowTitle(), request.title);
    EXPECT_EQ(dialog.nameFilters(), request.filters);
    EXPECT_EQ(dialog.selectedNameFilter(), request.filters[0]);
    EXPECT_EQ(QDir(dialog.directory()), QDir(request.folder));
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
}

TEST(QtUserInteractionTest, FileDialogFiltersMatchAnyLetterCase) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"UPPER.CSV", "lower.csv", "Mixed.Csv", "notes.txt", "book.xls"}) {
        QFile file(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    FileDialogRequest request;
    request.filters = {QStringLiteral("CSVファイル (*.csv)"),
                       QStringLiteral("txtファイル (*.txt)")};
    request.folder = dir.path();
    QFileDialog dialog;
    ConfigureFileDialog(dialog, request, false);
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    dialog.show();
    if (loaded.isEmpty()) {
        ASSERT_TRUE(loaded.wait(30000));
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
    EXPECT_EQ(shown, QStringList({"Mixed.Csv", "UPPER.CSV", "lower.csv"}));
}

}  // namespace
}  // namespace korvane
