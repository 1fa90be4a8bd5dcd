// The window applies the pane layout: widening, the splitter drag with its grey bar, and the
// places of the panes.

#include <QMenuBar>
#include <QTest>
#include <QTreeView>

#include "WindowTestHarness.h"
#include "platform/Twips.h"

namespace korvane {
namespace {

using FormMainLayout = WindowTest;

QWidget* child(FormMain& window, const char* name) {
    return window.findChild<QWidget*>(QLatin1String(name));
}

QRect pixels(const TwipRect& rect, const QWidget* widget) {
    return twipsRect(rect.left, rect.top, rect.width, rect.height, widget);
}

// A press on the visible strip of the grab area, a move to `barTwips` from the left of the
// window, and (unless `release` is false) the release.
void dragSplitter(FormMain& window, double barTwips, bool release = true) {
    QWidget* grip = child(window, "imgSplitter");
    ASSERT_NE(grip, nullptr);
    const QPoint start(1, 10);
    QTest::mousePress(grip, Qt::LeftButton, Qt::NoModifier, start);
    const QPoint target(twipsToPixels(barTwips, &window) - grip->x(), 10);
    QTest::mouseMove(grip, target);
    if (release) {
        QTest::mouseRelease(grip, Qt::LeftButton, Qt::NoModifier, target);
    }
    settle();
}

TEST_F(FormMainLayout, EveryControlHasItsName) {
    auto window = showWindow();
    for (const char* name :
         {"TreeView1", "ListView1", "imgSplitter", "picSplitter", "StatusBar1", "Toolbar1"}) {
        EXPECT_NE(child(*window, name), nullptr) << name;
    }
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Korvane Version 1.0"));
    const QList<QAction*> menus = window->menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("ファイル(&F)"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("補助(&H)"));
    QStringList fileMenu;
    for (const QAction* action : menus[0]->menu()->actions()) {
        fileMenu << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    EXPECT_EQ(fileMenu, QStringList({QStringLiteral("開く(&O)"), QStringLiteral("変換(&C)"),
                                     QStringLiteral("-"), QStringLiteral("終了(&X)")}));
    EXPECT_EQ(menus[1]->menu()->actions().value(0)->text(), QStringLiteral("バージョン(&V)"));
    EXPECT_FALSE(window->windowIcon().isNull());
}

TEST_F(FormMainLayout, PanesStandWhereTheLayoutPutsThem) {
    auto window = showWindow();
    const PanePlaces& places = window->panePlaces();
    EXPECT_EQ(window->splitPosition(), 2040);
    EXPECT_EQ(child(*window, "TreeView1")->geometry(), pixels(places.tree, window.get()));
    EXPECT_EQ(child(*window, "ListView1")->geometry(), pixels(places.list, window.get()));
    EXPECT_EQ(child(*window, "imgSplitter")->geometry(), pixels(places.splitter, window.get()));
    // Between the toolbar and the status bar.
    const QWidget* toolbar = child(*window, "Toolbar1");
    const QWidget* status = child(*window, "StatusBar1");
    EXPECT_EQ(child(*window, "TreeView1")->y(), toolbar->geometry().bottom() + 1);
    EXPECT_LE(child(*window, "TreeView1")->geometry().bottom(), status->y());
    EXPECT_FALSE(child(*window, "picSplitter")->isVisible());
}

TEST_F(FormMainLayout, ANarrowWindowIsWidenedAndSplitsAtTheMargin) {
    auto window = showWindow();
    window->resize(twipsToPixels(2000, window.get()), window->height());
    settle();
    EXPECT_EQ(window->frameGeometry().width(), twipsToPixels(3000, window.get()));
    EXPECT_EQ(window->splitPosition(), 1500);
}

TEST_F(FormMainLayout, DragToSixHundredShowsTheBarThereAndSplitsAtTheMargin) {
    auto window = showWindow();
    dragSplitter(*window, 600, false);
    QWidget* bar = child(*window, "picSplitter");
    EXPECT_TRUE(window->splitterDragging());
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(window->dragBarLeft(), 600);
    EXPECT_EQ(bar->x(), twipsToPixels(600, window.get()));
    EXPECT_EQ(bar->palette().color(QPalette::Window), QColor(128, 128, 128));
    // The panes stay until the release.
    EXPECT_EQ(window->splitPosition(), 2040);

    QTest::mouseRelease(
        child(*window, "imgSplitter"), Qt::LeftButton, Qt::NoModifier,
        QPoint(twipsToPixels(600, window.get()) - child(*window, "imgSplitter")->x(), 10));
    settle();
    EXPECT_FALSE(window->splitterDragging());
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(window->splitPosition(), 1500);
}

TEST_F(FormMainLayout, DragPastTheRightEdgeStopsAtTheDragMargin) {
    auto window = showWindow();
    const double outer = pixelsToTwips(window->frameGeometry().width(), window.get());
    dragSplitter(*window, outer + 3000, false);
    EXPECT_DOUBLE_EQ(window->dragBarLeft(), outer - 500);
    QTest::mouseRelease(child(*window, "imgSplitter"), Qt::LeftButton);
    settle();
    EXPECT_DOUBLE_EQ(window->splitPosition(), outer - 1500);
}

TEST_F(FormMainLayout, AFreeDragMovesTheSplit) {
    auto window = showWindow();
    dragSplitter(*window, 3000);
    EXPECT_EQ(window->splitPosition(), 3000);
    EXPECT_EQ(child(*window, "TreeView1")->width(), twipsToPixels(3000, window.get()));
}

TEST_F(FormMainLayout, MinimizingAndRestoringKeepsTheSplit) {
    auto window = showWindow();
    dragSplitter(*window, 3000);
    window->showMinimized();
    settle();
    window->showNormal();
    settle();
    EXPECT_EQ(window->splitPosition(), 3000);
}

}  // namespace
}  // namespace korvane
