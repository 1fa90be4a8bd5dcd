#include "shell/FormMainWidgets.h"

#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

namespace korvane {

namespace {

// Only a drag that carries at least one file name is taken; text and the like are refused.
bool carriesFiles(const QMimeData* dropped) {
    return dropped != nullptr && dropped->hasUrls() && !dropped->urls().isEmpty();
}

}  // namespace

FileDropListView::FileDropListView(QWidget* parent) : QTreeView(parent) {
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
}

void FileDropListView::dragEnterEvent(QDragEnterEvent* event) {
    if (carriesFiles(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void FileDropListView::dragMoveEvent(QDragMoveEvent* event) {
    if (carriesFiles(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void FileDropListView::dropEvent(QDropEvent* event) {
    const QMimeData* dropped = event->mimeData();
    if (!carriesFiles(dropped)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(dropped->urls());
}

SplitterGrip::SplitterGrip(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::SplitHCursor);
}

void SplitterGrip::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit mouseDown();
}

void SplitterGrip::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit mouseMove(qRound(event->position().x()));
}

void SplitterGrip::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    emit mouseUp();
}

MainStatusBar::MainStatusBar(QWidget* parent) : QStatusBar(parent) {
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        m_panels[i]->setMargin(2);
    }
    // When the window gets narrow the path gives way first, then the time; the date keeps the
    // width its text needs.
    m_panels[0]->setMinimumWidth(0);
    m_panels[0]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_panels[2]->setMinimumWidth(1);
    addWidget(m_panels[0], 1);
    addPermanentWidget(m_panels[1]);
    addPermanentWidget(m_panels[2]);
    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, [this] { showClock(); });
    m_clock->start();
    showClock();
}

void MainStatusBar::setPathText(const QString& path) {
    m_panels[0]->setText(path);
}

QString MainStatusBar::panelText(int panel) const {
    return panel >= 1 && panel <= 3 ? m_panels[panel - 1]->text() : QString();
}

void MainStatusBar::showClock() {
    const QDateTime now = QDateTime::currentDateTime();
    m_panels[1]->setText(now.toString(QStringLiteral("yyyy/MM/dd")));
    m_panels[1]->setMinimumWidth(m_panels[1]->sizeHint().width());
    m_panels[2]->setText(now.toString(QStringLiteral("H:mm")));
}

}  // namespace korvane
