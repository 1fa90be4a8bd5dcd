// The window applies the pane layout: widening, the splitter drag with its grey bar, and the
// places of the panes.

#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

#include "ShellGuiTests.h"
#include "WindowTestHarness.h"
#include "platform/Twips.h"
#include "shell/TreePane.h"

namespace korvane {
namespace {

QWidget* child(FormMain& window, const char* name) {
    return window.findChild<QWidget*>(QLatin1String(name));
}

QRect pixels(const TwipRect& rect, const QWidget* widget) {
    return twipsRect(rect.left, rect.top, rect.width, rect.height, widget);
}

// A press on the visible strip of the grab area, a move to `barTwips` from the left of the
// window, and (unless `release` is false) the release. False when the grab area is missing.
bool dragSplitter(FormMain& window, double barTwips, bool release = true) {
    QWidget* grip = child(window, "imgSplitter");
    if (grip == nullptr) {
        return false;
    }
    const QPoint start(1, 10);
    QTest::mousePress(grip, Qt::LeftButton, Qt::NoModifier, start);
    const QPoint target(twipsToPixels(barTwips, &window) - grip->x(), 10);
    QTest::mouseMove(grip, target);
    if (release) {
        QTest::mouseRelease(grip, Qt::LeftButton, Qt::NoModifier, target);
    }
    settle();
    return true;
}

class FormMainLayoutTest : public WindowTest {
    Q_OBJECT

private slots:
    void everyControlHasItsName_data();
    void everyControlHasItsName();
    void captionAndMenusCarryTheirTexts();
    void panesStandWhereTheLayoutPutsThem();
    void aNarrowWindowIsWidenedAndSplitsAtTheMargin();
    void aWindowAsLowAsItGoesKeepsThePanesBetweenTheBars();
    void dragToSixHundredShowsTheBarThereAndSplitsAtTheMargin();
    void dragPastTheRightEdgeStopsAtTheDragMargin();
    void aFreeDragMovesTheSplit();
    void minimizingAndRestoringKeepsTheSplit();
    void treeNamesAreNeverCutAndTheScrollBarFollows();
    void theDatePanelStaysWholeAtTheSmallestWidth();
};

void FormMainLayoutTest::everyControlHasItsName_data() {
    QTest::addColumn<QString>("name");
    for (const char* name :
         {"TreeView1", "ListView1", "imgSplitter", "picSplitter", "StatusBar1", "Toolbar1"}) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

void FormMainLayoutTest::everyControlHasItsName() {
    QFETCH(QString, name);
    auto window = showWindow();
    QVERIFY(window->findChild<QWidget*>(name) != nullptr);
}

void FormMainLayoutTest::captionAndMenusCarryTheirTexts() {
    auto window = showWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Korvane Version 1.0"));
    const QList<QAction*> menus = window->menuBar()->actions();
    QCOMPARE(menus.size(), 2);
    QCOMPARE(menus[0]->text(), QStringLiteral("ファイル(&F)"));
    QCOMPARE(menus[1]->text(), QStringLiteral("補助(&H)"));
    QStringList fileMenu;
    for (const QAction* action : menus[0]->menu()->actions()) {
        fileMenu << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    QCOMPARE(fileMenu, QStringList({QStringLiteral("開く(&O)"), QStringLiteral("変換(&C)"),
                                    QStringLiteral("-"), QStringLiteral("終了(&X)")}));
    QCOMPARE(menus[1]->menu()->actions().value(0)->text(), QStringLiteral("バージョン(&V)"));
    QVERIFY(!window->windowIcon().isNull());
}

void FormMainLayoutTest::panesStandWhereTheLayoutPutsThem() {
    auto window = showWindow();
    const PanePlaces& places = window->panePlaces();
    QCOMPARE(window->splitPosition(), 2040.0);
    QCOMPARE(child(*window, "TreeView1")->geometry(), pixels(places.tree, window.get()));
    QCOMPARE(child(*window, "ListView1")->geometry(), pixels(places.list, window.get()));
    QCOMPARE(child(*window, "imgSplitter")->geometry(), pixels(places.splitter, window.get()));
    // Between the toolbar and the status bar.
    const QWidget* toolbar = child(*window, "Toolbar1");
    const QWidget* status = child(*window, "StatusBar1");
    QCOMPARE(child(*window, "TreeView1")->y(), toolbar->geometry().bottom() + 1);
    QVERIFY(child(*window, "TreeView1")->geometry().bottom() <= status->y());
    QVERIFY(!child(*window, "picSplitter")->isVisible());
}

void FormMainLayoutTest::aNarrowWindowIsWidenedAndSplitsAtTheMargin() {
    auto window = showWindow();
    window->resize(twipsToPixels(2000, window.get()), window->height());
    settle();
    QCOMPARE(window->frameGeometry().width(), twipsToPixels(3000, window.get()));
    QCOMPARE(window->splitPosition(), 1500.0);
}

// The window keeps a minimum height that holds its toolbar and status bar, so the panes never
// get a height below zero; at the lowest they still stand between the two bars.
void FormMainLayoutTest::aWindowAsLowAsItGoesKeepsThePanesBetweenTheBars() {
    auto window = showWindow();
    window->resize(window->width(), 1);
    settle();
    const QWidget* toolbar = child(*window, "Toolbar1");
    const QWidget* status = child(*window, "StatusBar1");
    QVERIFY(status->y() >= toolbar->height());
    for (const char* name : {"TreeView1", "ListView1", "imgSplitter"}) {
        const QRect place = child(*window, name)->geometry();
        QVERIFY2(place.height() >= 0, name);
        QVERIFY2(place.y() == toolbar->geometry().bottom() + 1, name);
        QVERIFY2(place.y() + place.height() <= status->y(), name);
    }
    QVERIFY(window->panePlaces().tree.height >= 0);
}

void FormMainLayoutTest::dragToSixHundredShowsTheBarThereAndSplitsAtTheMargin() {
    auto window = showWindow();
    QVERIFY(dragSplitter(*window, 600, false));
    QWidget* bar = child(*window, "picSplitter");
    QVERIFY(window->splitterDragging());
    QVERIFY(bar->isVisible());
    QCOMPARE(window->dragBarLeft(), 600.0);
    QCOMPARE(bar->x(), twipsToPixels(600, window.get()));
    QCOMPARE(bar->palette().color(QPalette::Window), QColor(128, 128, 128));
    // The panes stay until the release.
    QCOMPARE(window->splitPosition(), 2040.0);

    QTest::mouseRelease(
        child(*window, "imgSplitter"), Qt::LeftButton, Qt::NoModifier,
        QPoint(twipsToPixels(600, window.get()) - child(*window, "imgSplitter")->x(), 10));
    settle();
    QVERIFY(!window->splitterDragging());
    QVERIFY(!bar->isVisible());
    QCOMPARE(window->splitPosition(), 1500.0);
}

void FormMainLayoutTest::dragPastTheRightEdgeStopsAtTheDragMargin() {
    auto window = showWindow();
    const double outer = pixelsToTwips(window->frameGeometry().width(), window.get());
    QVERIFY(dragSplitter(*window, outer + 3000, false));
    QCOMPARE(window->dragBarLeft(), outer - 500);
    QTest::mouseRelease(child(*window, "imgSplitter"), Qt::LeftButton);
    settle();
    QCOMPARE(window->splitPosition(), outer - 1500);
}

void FormMainLayoutTest::aFreeDragMovesTheSplit() {
    auto window = showWindow();
    QVERIFY(dragSplitter(*window, 3000));
    QCOMPARE(window->splitPosition(), 3000.0);
    QCOMPARE(child(*window, "TreeView1")->width(), twipsToPixels(3000, window.get()));
}

void FormMainLayoutTest::minimizingAndRestoringKeepsTheSplit() {
    auto window = showWindow();
    QVERIFY(dragSplitter(*window, 3000));
    window->showMinimized();
    settle();
    window->showNormal();
    settle();
    QCOMPARE(window->splitPosition(), 3000.0);
}

// A name wider than the tree pane is shown whole, the pane scrolling sideways; once the tree is
// emptied the scroll bar goes.
void FormMainLayoutTest::treeNamesAreNeverCutAndTheScrollBarFollows() {
    auto window = showWindow();
    auto* tree = qobject_cast<QTreeView*>(child(*window, "TreeView1"));
    QVERIFY(tree != nullptr);
    const QString longName = QStringLiteral("CustomersOfTheNorthernRegionWithTheirOrders") +
                             QString(40, QLatin1Char('x'));
    window->treePane().addRoot(QStringLiteral("テーブル"), QStringLiteral("テーブル"));
    window->treePane().addChild(QStringLiteral("テーブル"), longName);
    window->treePane().setExpanded(0, true);
    settle();
    const QModelIndex group = tree->model()->index(0, 0);
    const QModelIndex name = tree->model()->index(0, 0, group);
    QVERIFY(name.isValid());
    QCOMPARE(name.data().toString(), longName);
    tree->expand(group);
    settle();
    const int needed = tree->fontMetrics().horizontalAdvance(longName);
    QVERIFY2(tree->visualRect(name).width() >= needed,
             qPrintable(QStringLiteral("%1 < %2").arg(tree->visualRect(name).width()).arg(needed)));
    QVERIFY(tree->horizontalScrollBar()->maximum() > 0);

    window->treePane().clear();
    settle();
    QCOMPARE(tree->horizontalScrollBar()->maximum(), 0);
}

// At the window's smallest width the date panel still shows its whole date; the path and the
// time give way first.
void FormMainLayoutTest::theDatePanelStaysWholeAtTheSmallestWidth() {
    auto window = showWindow();
    window->OpenCommandLinePaths(
        {makeFile(QString(120, QLatin1Char('n')) + QStringLiteral(".csv"))});
    window->resize(1, window->height());
    settle();
    auto* date = window->findChild<QLabel*>(QStringLiteral("Panel2"));
    QVERIFY(date != nullptr);
    QCOMPARE(date->text().size(), 10);  // yyyy/MM/dd
    const int needed = date->fontMetrics().horizontalAdvance(date->text()) + 2 * date->margin();
    QVERIFY2(date->contentsRect().width() >= needed,
             qPrintable(QStringLiteral("%1 < %2").arg(date->contentsRect().width()).arg(needed)));
    QVERIFY(date->geometry().right() <
            window->findChild<QWidget*>(QStringLiteral("StatusBar1"))->width());
}

}  // namespace

std::unique_ptr<QObject> newFormMainLayoutTest() {
    return std::make_unique<FormMainLayoutTest>();
}

}  // namespace korvane

#include "FormMainLayoutTest.moc"
