#pragma once
// The main window's position and size in the per-user settings store, in twips.

#include <QRect>
#include <QString>
#include <vector>

namespace korvane {

struct WindowGeometry {
    double left = 1000;
    double top = 1000;
    double width = 6500;
    double height = 6500;
};

// The stored text of one value read as single precision; `fallback` when the text is absent,
// not a number, or beyond any size a screen could have.
double TwipsFromSetting(const QString& text, double fallback);
// The text a value is stored as: its single-precision value.
QString TwipsSettingText(double twips);

// A window that would lie off every screen goes back to the default place: a window the user
// cannot see or grab is no use. `screens` are the screens' available areas in twips.
WindowGeometry KeepOnSomeScreen(const WindowGeometry& geometry, const std::vector<QRectF>& screens);

// Reads the four values (organization and application "Korvane", group "Settings").
WindowGeometry ReadWindowGeometry();
void SaveWindowGeometry(const WindowGeometry& geometry);

}  // namespace korvane
