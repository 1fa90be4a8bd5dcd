#include "shell/QtUserInteraction.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/Twips.h"
#include "shell/CaptionFit.h"
#include "shell/DialogMessage.h"

namespace korvane {

namespace {

constexpr int kProgressSteps = 1000;
constexpr int kProgressDelayMs = 500;
constexpr int kRepaintEveryMs = 20;

// How far a message window opening where another one stands moves down and to the right, so the
// title and the left edge of the one below stay in sight.
constexpr double kCascadeStepTwips = 450;
constexpr int kCascadeLimit = 20;

// Over the owner, or in the middle of the screen when there is none; placed here rather than
// by the desktop, so a later message can be placed beside it.
void centreOver(QWidget& window, const QWidget* owner) {
    QRect area;
    if (owner != nullptr) {
        area = owner->frameGeometry();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    } else {
        return;
    }
    QRect place = window.frameGeometry();
    place.moveCenter(area.center());
    window.move(place.topLeft());
}

// Moves a new message window off every message window already open, as windows cascade.
void cascadeFromOpenMessages(QWidget& window) {
    const int step = twipsToPixels(kCascadeStepTwips, &window);
    QList<QPoint> taken;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != &window && other->isVisible() && qobject_cast<const DialogMessage*>(other)) {
            taken.append(other->pos());
        }
    }
    const QPoint start = window.pos();
    QPoint place = start;
    for (int moves = 0; moves < kCascadeLimit; ++moves) {
        const bool covers = std::any_of(taken.begin(), taken.end(), [&](const QPoint& other) {
            return std::abs(other.x() - place.x()) < step && std::abs(other.y() - place.y()) < step;
        });
        if (!covers) {
            break;
        }
        place += QPoint(step, step);
    }
    if (place != start) {
        window.move(place);
    }
}

std::optional<QString> runFileDialog(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(DialogOwner());
    ConfigureFileDialog(dialog, request, save);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString chosen = dialog.selectedFiles().constFirst();
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen;
}

}  // namespace

QWidget* DialogOwner() {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(widget) != nullptr && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save) {
    // Qt's own dialog everywhere: its filters ignore letter case unless told otherwise, and it
    // asks before a save replaces an existing file.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setWindowTitle(request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // An open may name a file that does not exist: the open dispatch reports it.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setFilter(QDir::AllEntries | QDir::AllDirs | QDir::NoDotAndDotDot);
    dialog.setNameFilters(request.filters);
    if (!request.filters.isEmpty()) {
        dialog.selectNameFilter(request.filters.constFirst());
    }
    if (!request.folder.isEmpty()) {
        dialog.setDirectory(request.folder);
    }
    dialog.selectFile(request.fileName);
}

QtUserInteraction::QtUserInteraction() = default;

QtUserInteraction::~QtUserInteraction() {
    progressEnd();
    setWaitCursor(false);
}

void QtUserInteraction::runModal(QDialog& dialog) {
    // A dialog made without a parent would open wherever the desktop likes; it belongs over the
    // window the person is working in.
    if (dialog.parentWidget() == nullptr) {
        centreOver(dialog, DialogOwner());
    }
    dialog.exec();
}

void QtUserInteraction::showMessage(const QString& text, bool modal) {
    if (modal) {
        QWidget* owner = DialogOwner();
        DialogMessage dialog(owner);
        dialog.m_message = text;
        centreOver(dialog, owner);
        cascadeFromOpenMessages(dialog);
        dialog.exec();
        return;
    }
    // A modeless message is a window of its own: it may outlive the main window, stays until
    // its OK is pressed, and is deleted once closed.
    QWidget* owner = DialogOwner();
    auto* dialog = new DialogMessage(nullptr);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->m_message = text;
    centreOver(*dialog, owner);
    cascadeFromOpenMessages(*dialog);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void QtUserInteraction::messageBox(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, DialogOwner());
    MakeTitleFit(box);
    box.exec();
}

void MakeTitleFit(QMessageBox& box) {
    // The box sizes itself to its text when shown; a spacer as wide as the title bar needs
    // keeps it from getting narrower than that.
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    grid->addItem(new QSpacerItem(TitleBarWidth(box), 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

std::optional<QString> QtUserInteraction::openFileName(const FileDialogRequest& request) {
    return runFileDialog(request, false);
}

std::optional<QString> QtUserInteraction::saveFileName(const FileDialogRequest& request) {
    return runFileDialog(request, true);
}

void QtUserInteraction::progressBegin(const QString& label) {
    progressEnd();
    m_progress =
        new QProgressDialog(label, QStringLiteral("キャンセル"), 0, kProgressSteps, DialogOwner());
    m_progress->setWindowTitle(QStringLiteral("Korvane"));
    m_progress->setWindowModality(Qt::ApplicationModal);
    m_progress->setMinimumDuration(kProgressDelayMs);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setValue(0);  // starts the clock of the delayed showing
    m_sinceRepaint.invalidate();
}

bool QtUserInteraction::progressUpdate(double shareDone) {
    if (m_progress.isNull()) {
        return true;
    }
    // Often enough for a smooth bar and a cancel that answers at once, seldom enough to cost
    // the work nothing.
    if (m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < kRepaintEveryMs) {
        return !m_progress->wasCanceled();
    }
    m_sinceRepaint.start();
    if (shareDone < 0) {
        m_progress->setRange(0, 0);  // a busy bar
        m_progress->setValue(0);
    } else {
        const double share = std::isfinite(shareDone) ? std::clamp(shareDone, 0.0, 1.0) : 0.0;
        m_progress->setRange(0, kProgressSteps);
        m_progress->setValue(static_cast<int>(std::lround(share * kProgressSteps)));
    }
    // Keeps the window painted and the cancel button live during long work.
    QCoreApplication::processEvents();
    return m_progress.isNull() || !m_progress->wasCanceled();
}

void QtUserInteraction::progressEnd() {
    if (!m_progress.isNull()) {
        m_progress->close();
        delete m_progress.data();
    }
}

void QtUserInteraction::setWaitCursor(bool on) {
    if (on == m_waitCursorOn) {
        return;
    }
    m_waitCursorOn = on;
    if (on) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

}  // namespace korvane
