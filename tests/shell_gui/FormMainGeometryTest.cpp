// The main window's place and size in the settings store.

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "ShellGuiTests.h"
#include "WindowTestHarness.h"
#include "platform/Twips.h"
#include "shell/WindowSettings.h"

namespace korvane {
namespace {

QRect outerPlace(const FormMain& window) {
    return window.frameGeometry();
}

class FormMainGeometryTest : public WindowTest {
    Q_OBJECT

private slots:
    void firstStartOpensAtTheDefaults();
    void aMoveAndResizeIsSavedAndRestored();
    void valuesAreStoredAsTwipsText();
    void closingWhileMinimizedSavesNothing();
    void maximizedSavesThePlaceItReports();
    void aValueThatIsNotANumberFallsBackToItsDefault();
    void aPlaceOffEveryScreenFallsBackToTheDefaultPlace();
    void aNarrowStoredWidthOpensAtTheMinimumWidth();
};

void FormMainGeometryTest::firstStartOpensAtTheDefaults() {
    auto window = showWindow();
    QCOMPARE(outerPlace(*window), twipsRect(1000, 1000, 6500, 6500, window.get()));
}

void FormMainGeometryTest::aMoveAndResizeIsSavedAndRestored() {
    auto window = showWindow();
    window->move(90, 60);
    window->resize(520, 410);
    settle();
    const QRect moved = outerPlace(*window);
    closeWindow(*window);

    QCOMPARE(storedText("MainLeft"), TwipsSettingText(pixelsToTwips(moved.x(), nullptr)));
    QCOMPARE(storedText("MainTop"), TwipsSettingText(pixelsToTwips(moved.y(), nullptr)));
    QCOMPARE(storedText("MainWidth"), TwipsSettingText(pixelsToTwips(moved.width(), nullptr)));
    QCOMPARE(storedText("MainHeight"), TwipsSettingText(pixelsToTwips(moved.height(), nullptr)));

    auto again = showWindow();
    QCOMPARE(outerPlace(*again), moved);
}

void FormMainGeometryTest::valuesAreStoredAsTwipsText() {
    auto window = showWindow();
    window->move(96, 48);  // one inch, half an inch at 96 dpi
    settle();
    closeWindow(*window);
    if (logicalDpi(nullptr) != 96.0) {
        QSKIP("the screen is not at 96 dpi");
    }
    QCOMPARE(storedText("MainLeft"), QStringLiteral("1440"));
    QCOMPARE(storedText("MainTop"), QStringLiteral("720"));
}

void FormMainGeometryTest::closingWhileMinimizedSavesNothing() {
    store("MainLeft", QStringLiteral("1500"));
    store("MainTop", QStringLiteral("1200"));
    store("MainWidth", QStringLiteral("7000"));
    store("MainHeight", QStringLiteral("5000"));
    auto window = showWindow();
    window->move(10, 10);
    window->showMinimized();
    settle();
    QVERIFY(window->isMinimized());
    closeWindow(*window);
    QCOMPARE(storedText("MainLeft"), QStringLiteral("1500"));
    QCOMPARE(storedText("MainTop"), QStringLiteral("1200"));
    QCOMPARE(storedText("MainWidth"), QStringLiteral("7000"));
    QCOMPARE(storedText("MainHeight"), QStringLiteral("5000"));
}

void FormMainGeometryTest::maximizedSavesThePlaceItReports() {
    auto window = showWindow();
    window->showMaximized();
    settle();
    const QRect reported = outerPlace(*window);
    closeWindow(*window);
    QCOMPARE(storedText("MainWidth"), TwipsSettingText(pixelsToTwips(reported.width(), nullptr)));
    QCOMPARE(storedText("MainHeight"), TwipsSettingText(pixelsToTwips(reported.height(), nullptr)));
}

void FormMainGeometryTest::aValueThatIsNotANumberFallsBackToItsDefault() {
    store("MainLeft", QStringLiteral("left"));
    store("MainTop", QStringLiteral("1500"));
    store("MainWidth", QString());
    store("MainHeight", QStringLiteral("1e40"));
    auto window = showWindow();
    QCOMPARE(outerPlace(*window), twipsRect(1000, 1500, 6500, 6500, window.get()));
}

void FormMainGeometryTest::aPlaceOffEveryScreenFallsBackToTheDefaultPlace() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    store("MainLeft", TwipsSettingText(pixelsToTwips(screen.right() + 400, nullptr)));
    store("MainTop", QStringLiteral("1500"));
    store("MainWidth", QStringLiteral("5000"));
    store("MainHeight", QStringLiteral("4000"));
    auto window = showWindow();
    QCOMPARE(outerPlace(*window), twipsRect(1000, 1000, 5000, 4000, window.get()));
}

void FormMainGeometryTest::aNarrowStoredWidthOpensAtTheMinimumWidth() {
    store("MainWidth", QStringLiteral("2000"));
    auto window = showWindow();
    QCOMPARE(outerPlace(*window).width(), twipsToPixels(3000, window.get()));
    QCOMPARE(window->splitPosition(), 1500.0);
}

}  // namespace

std::unique_ptr<QObject> newFormMainGeometryTest() {
    return std::make_unique<FormMainGeometryTest>();
}

}  // namespace korvane

#include "FormMainGeometryTest.moc"
