#pragma once
// The arithmetic of the main window's pane layout and splitter drag, in twips and free of
// widgets, so every clamp can be checked without a window. The window only applies the result.

namespace korvane {

struct TwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// Where the tree pane, the list pane and the splitter's grab area stand.
struct PanePlaces {
    TwipRect tree;
    TwipRect list;
    TwipRect splitter;
};

// What the layout reads from the window.
struct WindowFrame {
    double outerWidth = 0;       // borders included
    double innerHeight = 0;      // client area below the menu
    double toolbarHeight = 0;    // the toolbar stands at the top of the client area
    double statusBarHeight = 0;  // the status bar at its bottom
};

constexpr double kMinimumWindowWidth = 3000;
constexpr double kLayoutMargin = 1500;
constexpr double kDragMargin = 500;
constexpr double kPaneGap = 40;
constexpr double kListWidthAllowance = 140;
constexpr double kDragBarShortening = 20;
constexpr double kSplitterWidth = 150;
constexpr double kDesignSplit = 2040;

// The places the panes and the splitter have before the first layout.
PanePlaces DesignPanePlaces();

// Clamps the wanted split position x in place and lays the panes out around it. A negative
// width or height is a step the controls reject: it is skipped, the control keeps its previous
// value, and the later steps still run (they read what the controls then hold).
void SizeControls(double& x, const WindowFrame& frame, PanePlaces& places);

// The resize handling widens a window narrower than the minimum to the minimum.
double WidenedWindowWidth(double outerWidth);

// The grey bar shown when a drag starts: over the splitter, half as wide (whole twips,
// remainder dropped) and a little shorter.
TwipRect DragBarAtStart(const TwipRect& splitter);

// Left edge of the drag bar for the pointer at `pointerX` from the splitter's left edge.
double DragBarLeft(double splitterLeft, double pointerX, double outerWidth);

}  // namespace korvane
