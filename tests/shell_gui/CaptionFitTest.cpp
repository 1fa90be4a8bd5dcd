// Every caption, label, option, check box and button text of every form fits its control whole,
// and every number box shows the widest number it takes, at whatever scale ctest runs this
// (100, 150 and 200 %). Each row opens one form, may type a text into one control, then walks
// every control and names each one whose text does not fit.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "ShellGuiTests.h"
#include "csv/DialogConfirmCSV.h"
#include "database/DialogConfirmMDB.h"
#include "excel/DialogConfirmXLS.h"
#include "export/DialogSelectOutputTable.h"
#include "shell/CaptionFit.h"
#include "shell/DialogAbout.h"
#include "shell/DialogMessage.h"
#include "shell/ProgramState.h"
#include "shell/QtUserInteraction.h"
#include "shell/ScriptedInteraction.h"
#include "shell/WrapAnywhereLabel.h"

namespace korvane {
namespace {

QString without(QString text, QChar mnemonic) {
    return text.remove(mnemonic);
}

// What a control's text needs and what the control gives it, in pixels; empty when it fits.
QString misfit(const QWidget& control) {
    const QFontMetrics metrics(control.font());
    int needed = 0;
    int given = 0;
    QString text;
    if (const auto* wrapping = qobject_cast<const WrapAnywhereLabel*>(&control)) {
        text = wrapping->text();
        needed = wrapping->heightForWidth(wrapping->width());
        given = wrapping->height();
    } else if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        text = label->text();
        if (text.isEmpty()) {
            return {};
        }
        const QRect area = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                          -label->margin(), -label->margin());
        if (label->wordWrap()) {
            needed = label->heightForWidth(label->width());
            given = label->height();
        } else if (metrics.height() > area.height()) {
            needed = metrics.height();
            given = area.height();
        } else {
            needed = metrics.horizontalAdvance(text);
            given = area.width();
        }
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        QStyle::SubElement element = QStyle::SE_PushButtonContents;
        if (qobject_cast<const QRadioButton*>(button) != nullptr) {
            element = QStyle::SE_RadioButtonContents;
        } else if (qobject_cast<const QCheckBox*>(button) != nullptr) {
            element = QStyle::SE_CheckBoxContents;
        } else if (qobject_cast<const QPushButton*>(button) == nullptr) {
            return {};
        }
        text = without(button->text(), QLatin1Char('&'));
        needed = metrics.horizontalAdvance(text);
        given = button->style()->subElementRect(element, &option, button).width();
    } else if (const auto* box = qobject_cast<const QLineEdit*>(&control)) {
        // A box that must scroll to show its text moves the first character out of sight: the
        // cursor then travels less than the text is wide.
        auto* edit = const_cast<QLineEdit*>(box);
        text = edit->text();
        edit->setCursorPosition(0);
        const int start = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        edit->setCursorPosition(static_cast<int>(text.size()));
        const int end = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        needed = metrics.horizontalAdvance(text);
        given = end - start;
        if (end >= edit->width()) {
            given = 0;
        }
    } else if (const auto* frame = qobject_cast<const QGroupBox*>(&control)) {
        text = frame->title();
        needed = frame->minimumSizeHint().width();
        given = frame->width();
    } else {
        return {};
    }
    if (needed <= given) {
        return {};
    }
    return QStringLiteral("%1 \"%2\" needs %3 px, has %4")
        .arg(control.objectName(), text)
        .arg(needed)
        .arg(given);
}

// Controls of one parent that cover each other.
QStringList overlaps(const QWidget& form) {
    QStringList found;
    QList<const QWidget*> all;
    for (const QWidget* widget : form.findChildren<QWidget*>()) {
        if (!widget->isWindow() && widget->isVisible() && !widget->objectName().isEmpty() &&
            !widget->objectName().startsWith(QLatin1String("qt_"))) {
            all.append(widget);
        }
    }
    for (int i = 0; i < all.size(); ++i) {
        for (int j = i + 1; j < all.size(); ++j) {
            if (all[i]->parentWidget() == all[j]->parentWidget() &&
                all[i]->geometry().intersects(all[j]->geometry())) {
                found << all[i]->objectName() + QLatin1Char('/') + all[j]->objectName();
            }
        }
    }
    return found;
}

class CaptionFitTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyTextFitsItsControl_data();
    void everyTextFitsItsControl();
    void theCancelNoticeShowsItsWholeTitle();

private:
    std::unique_ptr<QDialog> openForm(const QString& form);

    std::unique_ptr<ScriptedInteraction> m_ui;
    QTemporaryDir m_dir;
};

void CaptionFitTest::init() {
    m_ui = std::make_unique<ScriptedInteraction>();
    setUserInteraction(m_ui.get());
    InitProgramState();
    programState().SheetNames = QStringList{QStringLiteral("Sheet1")};
    programState().TableNames = QStringList{QStringLiteral("Customers")};
    programState().QueryNames = QStringList{QStringLiteral("東京の顧客")};
}

void CaptionFitTest::cleanup() {
    setUserInteraction(nullptr);
    InitProgramState();
    m_ui.reset();
}

std::unique_ptr<QDialog> CaptionFitTest::openForm(const QString& form) {
    std::unique_ptr<QDialog> dialog;
    if (form == QLatin1String("DialogConfirmCSV")) {
        // 250000 lines: the count sentence shows the largest number a row types below.
        const QString file = m_dir.filePath(QStringLiteral("lines.csv"));
        QFile out(file);
        if (out.open(QIODevice::WriteOnly)) {
            out.write(QByteArray("a,b\r\n").repeated(250000));
        }
        auto csv = std::make_unique<DialogConfirmCSV>();
        csv->m_fname = file;
        dialog = std::move(csv);
    } else if (form == QLatin1String("DialogConfirmXLS")) {
        dialog = std::make_unique<DialogConfirmXLS>();
    } else if (form == QLatin1String("DialogConfirmMDB")) {
        dialog = std::make_unique<DialogConfirmMDB>();
    } else if (form == QLatin1String("DialogSelectOutputTable")) {
        dialog = std::make_unique<DialogSelectOutputTable>();
    } else if (form == QLatin1String("DialogMessage")) {
        auto message = std::make_unique<DialogMessage>();
        message->m_message = QStringLiteral("ファイル(/") + QString(299, QLatin1Char('p')) +
                             QStringLiteral(")がありません。");
        dialog = std::move(message);
    } else if (form == QLatin1String("DialogAbout")) {
        dialog = std::make_unique<DialogAbout>();
    }
    if (dialog) {
        dialog->show();
        QCoreApplication::processEvents();
    }
    return dialog;
}

void CaptionFitTest::everyTextFitsItsControl_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("control");  // the box a text is typed into, if any
    QTest::addColumn<QString>("typed");
    for (const char* form : {"DialogConfirmCSV", "DialogConfirmXLS", "DialogConfirmMDB",
                             "DialogSelectOutputTable", "DialogMessage", "DialogAbout"}) {
        QTest::newRow(form) << form << QString() << QString();
    }
    QTest::newRow("250000 in the CSV count box") << "DialogConfirmCSV"
                                                 << "Text1"
                                                 << "250000";
    QTest::newRow("ten digits in the CSV count box") << "DialogConfirmCSV"
                                                     << "Text1"
                                                     << "2147483647";
    QTest::newRow("ten digits in the record count box") << "DialogConfirmMDB"
                                                        << "Text1"
                                                        << "2147483647";
    QTest::newRow("32766 in the Excel row box") << "DialogConfirmXLS"
                                                << "Text2"
                                                << "32766";
    QTest::newRow("32767 in the Excel first column box") << "DialogConfirmXLS"
                                                         << "Text1"
                                                         << "32767";
    QTest::newRow("32766 in the Excel column count box") << "DialogConfirmXLS"
                                                         << "Text3"
                                                         << "32766";
    QTest::newRow("32766 in the Excel row count box") << "DialogConfirmXLS"
                                                      << "Text4"
                                                      << "32766";
    QTest::newRow("a long output path")
        << "DialogSelectOutputTable"
        << "Label2" << QStringLiteral("/home/ユーザー/出力/data.csv");
}

void CaptionFitTest::everyTextFitsItsControl() {
    QFETCH(QString, form);
    QFETCH(QString, control);
    QFETCH(QString, typed);
    const std::unique_ptr<QDialog> dialog = openForm(form);
    QVERIFY(dialog);
    QVERIFY2(dialog->isVisible(), qPrintable(form + QStringLiteral(" closed itself")));
    if (!control.isEmpty()) {
        QWidget* target = dialog->findChild<QWidget*>(control);
        QVERIFY(target != nullptr);
        if (auto* box = qobject_cast<QLineEdit*>(target)) {
            box->setText(typed);
        } else if (auto* label = qobject_cast<QLabel*>(target)) {
            label->setText(typed);
        }
    }
    QStringList misfits;
    for (const QWidget* widget : dialog->findChildren<QWidget*>()) {
        if (!widget->isWindow() && widget->isVisible()) {
            const QString problem = misfit(*widget);
            if (!problem.isEmpty()) {
                misfits << problem;
            }
        }
    }
    QVERIFY2(misfits.isEmpty(), qPrintable(form + QStringLiteral(": ") + misfits.join(u"; ")));
    const QStringList covered = overlaps(*dialog);
    QVERIFY2(covered.isEmpty(),
             qPrintable(form + QStringLiteral(" overlaps: ") + covered.join(u' ')));
}

void CaptionFitTest::theCancelNoticeShowsItsWholeTitle() {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("インフォメーション"),
                    QStringLiteral("キャンセルされました。"), QMessageBox::Ok);
    MakeTitleFit(box);
    box.show();
    QCoreApplication::processEvents();
    QFont titleFont = DialogFont();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    // The title in a title-bar face and three title-bar buttons of at least 24 pixels each.
    const int needed = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + 3 * 24;
    QVERIFY2(box.width() >= needed,
             qPrintable(QStringLiteral("%1 < %2").arg(box.width()).arg(needed)));
}

}  // namespace

std::unique_ptr<QObject> newCaptionFitTest() {
    return std::make_unique<CaptionFitTest>();
}

}  // namespace korvane

#include "CaptionFitTest.moc"
