// The main window's resize handling, pane layout and splitter drag. The arithmetic is in
// PaneLayout; this file measures the window and moves the widgets.

#include <QEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>

#include "platform/Twips.h"
#include "shell/FormMain.h"
#include "shell/FormMainWidgets.h"

namespace korvane {

namespace {

// A place with a negative size cannot be applied; such a control keeps where it is.
void place(QWidget* widget, const TwipRect& rect) {
    if (rect.width < 0 || rect.height < 0) {
        return;
    }
    widget->setGeometry(twipsRect(rect.left, rect.top, rect.width, rect.height, widget));
}

}  // namespace

bool FormMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize) {
        Form_Resize();
    }
    return QMainWindow::eventFilter(watched, event);
}

double FormMain::outerWidthTwips() const {
    return pixelsToTwips(frameGeometry().width(), this);
}

void FormMain::Form_Resize() {
    if (isMinimized()) {
        return;
    }
    const double outer = outerWidthTwips();
    const double widened = WidenedWindowWidth(outer);
    if (widened > outer) {
        const int frameWidth = frameGeometry().width() - width();
        resize(twipsToPixels(widened, this) - frameWidth, height());
    }
    // The toolbar and the status bar keep to the top and the bottom of the client area.
    const int clientWidth = m_client->width();
    const int toolbarHeight = m_toolbar1->sizeHint().height();
    m_toolbar1->setGeometry(0, 0, clientWidth, toolbarHeight);
    const int statusHeight = m_statusBar1->sizeHint().height();
    m_statusBar1->setGeometry(0, m_client->height() - statusHeight, clientWidth, statusHeight);

    double x = m_places.splitter.left;
    SizeControls(x);
}

void FormMain::SizeControls(double& x) {
    WindowFrame frame;
    frame.outerWidth = WidenedWindowWidth(outerWidthTwips());
    frame.innerHeight = pixelsToTwips(m_client->height(), this);
    frame.toolbarHeight = pixelsToTwips(m_toolbar1->height(), this);
    frame.statusBarHeight = pixelsToTwips(m_statusBar1->height(), this);
    korvane::SizeControls(x, frame, m_places);
    applyPlaces();
}

void FormMain::applyPlaces() {
    place(m_treeView1, m_places.tree);
    place(m_listView1, m_places.list);
    place(m_imgSplitter, m_places.splitter);
}

void FormMain::imgSplitter_MouseDown() {
    m_dragBar = DragBarAtStart(m_places.splitter);
    if (m_dragBar.height < 0) {
        m_dragBar.height = 0;
    }
    place(m_picSplitter, m_dragBar);
    m_picSplitter->raise();
    m_picSplitter->show();
    m_splitterDragging = true;
}

void FormMain::imgSplitter_MouseMove(int xPixels) {
    if (!m_splitterDragging) {
        return;
    }
    m_dragBar.left = DragBarLeft(m_places.splitter.left, pixelsToTwips(xPixels, this),
                                 WidenedWindowWidth(outerWidthTwips()));
    place(m_picSplitter, m_dragBar);
}

void FormMain::imgSplitter_MouseUp() {
    if (!m_splitterDragging) {
        return;
    }
    double x = m_dragBar.left;
    SizeControls(x);
    m_picSplitter->hide();
    m_splitterDragging = false;
}

}  // namespace korvane
