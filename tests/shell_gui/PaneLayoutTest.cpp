// The pane layout and splitter arithmetic, in twips, without a window.

#include <gtest/gtest.h>

#include "shell/PaneLayout.h"

namespace korvane {

void PrintTo(const TwipRect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}

bool operator==(const TwipRect& a, const TwipRect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

namespace {

struct LayoutCase {
    const char* name;
    double wantedX;
    WindowFrame frame;
    double usedX;
    TwipRect tree;
    TwipRect list;
    TwipRect splitter;
};

// The previous places are the design-time ones (tree 0/720 1935x5055, list 2280/720 4455x5055,
// splitter 2040/720 150x5055), so a skipped step shows as a design value.
const LayoutCase kLayoutCases[] = {
    {"design split in the default window",
     2040,
     {6500, 6000, 600, 300},
     2040,
     {0, 600, 2040, 5100},
     {2080, 600, 4320, 5100},
     {2040, 600, 150, 5100}},
    {"left of the layout margin goes to the margin",
     600,
     {6500, 6000, 600, 300},
     1500,
     {0, 600, 1500, 5100},
     {1540, 600, 4860, 5100},
     {1500, 600, 150, 5100}},
    {"exactly on the left margin stays",
     1500,
     {6500, 6000, 600, 300},
     1500,
     {0, 600, 1500, 5100},
     {1540, 600, 4860, 5100},
     {1500, 600, 150, 5100}},
    {"right of the right margin goes to width minus 1500",
     6400,
     {6500, 6000, 600, 300},
     5000,
     {0, 600, 5000, 5100},
     {5040, 600, 1360, 5100},
     {5000, 600, 150, 5100}},
    {"window of the minimum width splits at 1500",
     2040,
     {3000, 6000, 600, 300},
     1500,
     {0, 600, 1500, 5100},
     {1540, 600, 1360, 5100},
     {1500, 600, 150, 5100}},
    {"narrower than twice the margin: the upper bound wins",
     2040,
     {2000, 6000, 600, 300},
     500,
     {0, 600, 500, 5100},
     {540, 600, 1360, 5100},
     {500, 600, 150, 5100}},
    {"negative widths are skipped, the list width reads the tree width kept",
     2040,
     {1000, 6000, 600, 300},
     -500,
     {0, 600, 1935, 5100},
     {-460, 600, 4455, 5100},
     {-500, 600, 150, 5100}},
    {"too low for the panes keeps the previous heights, widths and tops still change",
     3000,
     {6500, 700, 600, 300},
     3000,
     {0, 600, 3000, 5055},
     {3040, 600, 3360, 5055},
     {3000, 600, 150, 5055}},
    {"a pane height of exactly zero is taken",
     3000,
     {6500, 900, 600, 300},
     3000,
     {0, 600, 3000, 0},
     {3040, 600, 3360, 0},
     {3000, 600, 150, 0}},
};

class SizeControlsTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(SizeControlsTest, ClampsAndPlaces) {
    const LayoutCase& c = GetParam();
    PanePlaces places = DesignPanePlaces();
    double x = c.wantedX;
    SizeControls(x, c.frame, places);
    EXPECT_EQ(x, c.usedX);
    EXPECT_EQ(places.tree, c.tree);
    EXPECT_EQ(places.list, c.list);
    EXPECT_EQ(places.splitter, c.splitter);
}

INSTANTIATE_TEST_SUITE_P(Layout, SizeControlsTest, ::testing::ValuesIn(kLayoutCases),
                         [](const auto& param) { return "case" + std::to_string(param.index); });

struct DragCase {
    double splitterLeft;
    double pointerX;
    double outerWidth;
    double barLeft;
};

class DragBarLeftTest : public ::testing::TestWithParam<DragCase> {};

TEST_P(DragBarLeftTest, StaysWithinTheDragMargin) {
    const DragCase& c = GetParam();
    EXPECT_EQ(DragBarLeft(c.splitterLeft, c.pointerX, c.outerWidth), c.barLeft);
}

INSTANTIATE_TEST_SUITE_P(Drag, DragBarLeftTest,
                         ::testing::Values(DragCase{1500, -900, 6500, 600},     // free
                                           DragCase{1500, -1000, 6500, 500},    // on the margin
                                           DragCase{1500, -1400, 6500, 500},    // past the left
                                           DragCase{2040, 3960, 6500, 6000},    // on the margin
                                           DragCase{2040, 99999, 6500, 6000},   // past the right
                                           DragCase{2040, 0, 6500, 2040},       // no move
                                           DragCase{2040, -5000, 3000, 500}));  // minimum window

TEST(SplitterDrag, DragToSixHundredShowsTheBarThereAndSplitsAtTheMargin) {
    const WindowFrame frame{6500, 6000, 600, 300};
    PanePlaces places = DesignPanePlaces();
    double x = 2040;
    SizeControls(x, frame, places);
    const double bar = DragBarLeft(places.splitter.left, 600 - places.splitter.left, 6500);
    EXPECT_EQ(bar, 600);
    double released = bar;
    SizeControls(released, frame, places);
    EXPECT_EQ(released, 1500);
    EXPECT_EQ(places.tree.width, 1500);
}

TEST(SplitterDrag, DragPastTheRightEdgeReleasesAtWidthMinusTheLayoutMargin) {
    const WindowFrame frame{6500, 6000, 600, 300};
    PanePlaces places = DesignPanePlaces();
    double bar = DragBarLeft(2040, 8000, frame.outerWidth);
    EXPECT_EQ(bar, 6000);
    SizeControls(bar, frame, places);
    EXPECT_EQ(bar, 5000);
}

TEST(SplitterDrag, BarAtStartIsHalfTheWholeSplitterWidthAndShorter) {
    const struct {
        double width;
        double barWidth;
    } cases[] = {{150, 75}, {151, 75}, {150.6, 75}, {149.4, 74}, {1, 0}, {0, 0}};
    for (const auto& c : cases) {
        const TwipRect bar = DragBarAtStart({2040, 600, c.width, 5100});
        EXPECT_EQ(bar.width, c.barWidth) << c.width;
        EXPECT_EQ(bar.left, 2040);
        EXPECT_EQ(bar.top, 600);
        EXPECT_EQ(bar.height, 5080);
    }
}

TEST(WindowWidth, NarrowerThanTheMinimumIsWidened) {
    const struct {
        double outer;
        double widened;
    } cases[] = {{2000, 3000}, {2999.5, 3000}, {3000, 3000}, {3000.5, 3000.5},
                 {6500, 6500}, {0, 3000},      {-100, 3000}};
    for (const auto& c : cases) {
        EXPECT_EQ(WidenedWindowWidth(c.outer), c.widened) << c.outer;
    }
}

}  // namespace
}  // namespace korvane
