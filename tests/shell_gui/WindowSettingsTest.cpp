// Reading, writing and checking the stored window place, without a window.

#include <gtest/gtest.h>

#include <cmath>

#include "shell/WindowSettings.h"

namespace korvane {
namespace {

TEST(TwipsFromSetting, ReadsSinglePrecisionAndFallsBackOnAnythingElse) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"1000", 1000},     {"-2500", -2500},  // left of the primary screen, on a second one
        {"1234.5", 1234.5}, {" 6500 ", 6500},
        {"1.5e3", 1500},    {"0.1", static_cast<double>(0.1f)},  // read as single precision
        {"", -1},           {"abc", -1},
        {"12abc", -1},      {"nan", -1},
        {"inf", -1},        {"-inf", -1},
        {"1e30", -1},  // a size no screen has
        {"-1e30", -1},      {"1,5", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TwipsFromSetting(QString::fromUtf8(c.text), -1), c.expected) << c.text;
    }
}

TEST(TwipsSettingText, RoundTripsThroughTheStoredText) {
    for (double twips : {1000.0, 6500.0, -15.0, 0.0, 1234.5, 10005.0 / 3.0, 9999999.0}) {
        const QString text = TwipsSettingText(twips);
        EXPECT_EQ(TwipsFromSetting(text, -1), static_cast<double>(static_cast<float>(twips)))
            << text.toStdString();
    }
}

// One screen of 800 x 600 pixels at 96 dpi is 12000 x 9000 twips.
const std::vector<QRectF> kOneScreen = {QRectF(0, 0, 12000, 9000)};
const std::vector<QRectF> kTwoScreens = {QRectF(0, 0, 12000, 9000), QRectF(12000, 0, 12000, 9000)};

struct PlaceCase {
    const char* name;
    WindowGeometry stored;
    const std::vector<QRectF>* screens;
    WindowGeometry expected;
};

const PlaceCase kPlaceCases[] = {
    {"defaults stay", {1000, 1000, 6500, 6500}, &kOneScreen, {1000, 1000, 6500, 6500}},
    {"far to the right goes home",
     {500000, 2000, 5000, 4000},
     &kOneScreen,
     {1000, 1000, 5000, 4000}},
    {"above the screen goes home",
     {2000, -5000, 5000, 4000},
     &kOneScreen,
     {1000, 1000, 5000, 4000}},
    {"below the screen goes home", {2000, 9000, 5000, 4000}, &kOneScreen, {1000, 1000, 5000, 4000}},
    {"top edge on the last row stays",
     {2000, 8999, 5000, 4000},
     &kOneScreen,
     {2000, 8999, 5000, 4000}},
    {"half a inch showing on the right stays",
     {11280, 500, 6500, 6500},
     &kOneScreen,
     {11280, 500, 6500, 6500}},
    {"less than half an inch on the right goes home",
     {11300, 500, 6500, 6500},
     &kOneScreen,
     {1000, 1000, 6500, 6500}},
    {"less than half an inch on the left goes home",
     {-6000, 500, 6500, 6500},
     &kOneScreen,
     {1000, 1000, 6500, 6500}},
    {"more than half an inch on the left stays",
     {-5700, 500, 6500, 6500},
     &kOneScreen,
     {-5700, 500, 6500, 6500}},
    {"on the second screen stays",
     {15000, 500, 6500, 6500},
     &kTwoScreens,
     {15000, 500, 6500, 6500}},
    {"a window narrower than half an inch, wholly on screen, stays",
     {100, 100, 400, 400},
     &kOneScreen,
     {100, 100, 400, 400}},
    {"no size gets the default size", {1000, 1000, 0, -20}, &kOneScreen, {1000, 1000, 6500, 6500}},
};

TEST(KeepOnSomeScreen, AWindowNobodyCanSeeGoesBackToTheDefaultPlace) {
    for (const PlaceCase& c : kPlaceCases) {
        const WindowGeometry got = KeepOnSomeScreen(c.stored, *c.screens);
        EXPECT_EQ(got.left, c.expected.left) << c.name;
        EXPECT_EQ(got.top, c.expected.top) << c.name;
        EXPECT_EQ(got.width, c.expected.width) << c.name;
        EXPECT_EQ(got.height, c.expected.height) << c.name;
    }
}

TEST(KeepOnSomeScreen, WithoutScreensTakesTheValuesAsTheyAre) {
    const WindowGeometry got = KeepOnSomeScreen({500000, -7, 6500, 6500}, {});
    EXPECT_EQ(got.left, 500000);
    EXPECT_EQ(got.top, -7);
}

}  // namespace
}  // namespace korvane
