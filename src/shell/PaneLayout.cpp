#include "shell/PaneLayout.h"

#include <cmath>

namespace korvane {

namespace {

// A control refuses a negative size; the step is then skipped.
void setSize(double& target, double value) {
    if (value >= 0) {
        target = value;
    }
}

}  // namespace

PanePlaces DesignPanePlaces() {
    PanePlaces places;
    places.tree = {0, 720, 1935, 5055};
    places.list = {2280, 720, 4455, 5055};
    places.splitter = {kDesignSplit, 720, kSplitterWidth, 5055};
    return places;
}

void SizeControls(double& x, const WindowFrame& frame, PanePlaces& places) {
    if (x < kLayoutMargin) {
        x = kLayoutMargin;
    }
    // Checked second, so in a window narrower than twice the margin the upper bound wins.
    if (x > frame.outerWidth - kLayoutMargin) {
        x = frame.outerWidth - kLayoutMargin;
    }
    setSize(places.tree.width, x);
    places.splitter.left = x;
    places.list.left = x + kPaneGap;
    setSize(places.list.width, frame.outerWidth - (places.tree.width + kListWidthAllowance));
    places.tree.top = frame.toolbarHeight;
    places.list.top = places.tree.top;
    setSize(places.tree.height, frame.innerHeight - frame.statusBarHeight - places.tree.top);
    setSize(places.list.height, places.tree.height);
    places.splitter.top = places.tree.top;
    setSize(places.splitter.height, places.tree.height);
}

double WidenedWindowWidth(double outerWidth) {
    return outerWidth < kMinimumWindowWidth ? kMinimumWindowWidth : outerWidth;
}

TwipRect DragBarAtStart(const TwipRect& splitter) {
    const auto wholeWidth = static_cast<long long>(std::llround(splitter.width));
    return {splitter.left, splitter.top, static_cast<double>(wholeWidth / 2),
            splitter.height - kDragBarShortening};
}

double DragBarLeft(double splitterLeft, double pointerX, double outerWidth) {
    const double pos = splitterLeft + pointerX;
    if (pos < kDragMargin) {
        return kDragMargin;
    }
    if (pos > outerWidth - kDragMargin) {
        return outerWidth - kDragMargin;
    }
    return pos;
}

}  // namespace korvane
