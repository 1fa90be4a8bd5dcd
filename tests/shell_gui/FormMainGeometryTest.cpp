// The main window's place and size in the settings store.

#include <QGuiApplication>
#include <QScreen>

#include "WindowTestHarness.h"
#include "platform/Twips.h"
#include "shell/WindowSettings.h"

namespace korvane {
namespace {

using FormMainGeometry = WindowTest;

QRect outerPlace(const FormMain& window) {
    return window.frameGeometry();
}

TEST_F(FormMainGeometry, FirstStartOpensAtTheDefaults) {
    auto window = showWindow();
    EXPECT_EQ(outerPlace(*window), twipsRect(1000, 1000, 6500, 6500, window.get()));
}

TEST_F(FormMainGeometry, AMoveAndResizeIsSavedAndRestored) {
    auto window = showWindow();
    window->move(90, 60);
    window->resize(520, 410);
    settle();
    const QRect moved = outerPlace(*window);
    closeWindow(*window);

    EXPECT_EQ(storedText("MainLeft"), TwipsSettingText(pixelsToTwips(moved.x(), nullptr)));
    EXPECT_EQ(storedText("MainTop"), TwipsSettingText(pixelsToTwips(moved.y(), nullptr)));
    EXPECT_EQ(storedText("MainWidth"), TwipsSettingText(pixelsToTwips(moved.width(), nullptr)));
    EXPECT_EQ(storedText("MainHeight"), TwipsSettingText(pixelsToTwips(moved.height(), nullptr)));

    auto again = showWindow();
    EXPECT_EQ(outerPlace(*again), moved);
}

TEST_F(FormMainGeometry, ValuesAreStoredAsTwipsText) {
    auto window = showWindow();
    window->move(96, 48);  // one inch, half an inch at 96 dpi
    settle();
    closeWindow(*window);
    if (logicalDpi(nullptr) == 96.0) {
        EXPECT_EQ(storedText("MainLeft"), QStringLiteral("1440"));
        EXPECT_EQ(storedText("MainTop"), QStringLiteral("720"));
    }
}

TEST_F(FormMainGeometry, ClosingWhileMinimizedSavesNothing) {
    store("MainLeft", QStringLiteral("1500"));
    store("MainTop", QStringLiteral("1200"));
    store("MainWidth", QStringLiteral("7000"));
    store("MainHeight", QStringLiteral("5000"));
    auto window = showWindow();
    window->move(10, 10);
    window->showMinimized();
    settle();
    ASSERT_TRUE(window->isMinimized());
    closeWindow(*window);
    EXPECT_EQ(storedText("MainLeft"), QStringLiteral("1500"));
    EXPECT_EQ(storedText("MainTop"), QStringLiteral("1200"));
    EXPECT_EQ(storedText("MainWidth"), QStringLiteral("7000"));
    EXPECT_EQ(storedText("MainHeight"), QStringLiteral("5000"));
}

TEST_F(FormMainGeometry, MaximizedSavesThePlaceItReports) {
    auto window = showWindow();
    window->showMaximized();
    settle();
    const QRect reported = outerPlace(*window);
    closeWindow(*window);
    EXPECT_EQ(storedText("MainWidth"), TwipsSettingText(pixelsToTwips(reported.width(), nullptr)));
    EXPECT_EQ(storedText("MainHeight"),
              TwipsSettingText(pixelsToTwips(reported.height(), nullptr)));
}

TEST_F(FormMainGeometry, AValueThatIsNotANumberFallsBackToItsDefault) {
    store("MainLeft", QStringLiteral("left"));
    store("MainTop", QStringLiteral("1500"));
    store("MainWidth", QString());
    store("MainHeight", QStringLiteral("1e40"));
    auto window = showWindow();
    EXPECT_EQ(outerPlace(*window), twipsRect(1000, 1500, 6500, 6500, window.get()));
}

TEST_F(FormMainGeometry, APlaceOffEveryScreenFallsBackToTheDefaultPlace) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    store("MainLeft", TwipsSettingText(pixelsToTwips(screen.right() + 400, nullptr)));
    store("MainTop", QStringLiteral("1500"));
    store("MainWidth", QStringLiteral("5000"));
    store("MainHeight", QStringLiteral("4000"));
    auto window = showWindow();
    EXPECT_EQ(outerPlace(*window), twipsRect(1000, 1000, 5000, 4000, window.get()));
}

TEST_F(FormMainGeometry, ANarrowStoredWidthOpensAtTheMinimumWidth) {
    store("MainWidth", QStringLiteral("2000"));
    auto window = showWindow();
    EXPECT_EQ(outerPlace(*window).width(), twipsToPixels(3000, window.get()));
    EXPECT_EQ(window->splitPosition(), 1500);
}

}  // namespace
}  // namespace korvane
