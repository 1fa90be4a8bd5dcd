#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace korvane {

namespace {
constexpr double kTwipsPerInch = 1440.0;
}  // namespace

double logicalDpi(const QWidget* widget) {
    const QScreen* screen = widget != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return 96.0;
    }
    const double dpi = screen->logicalDotsPerInch();
    return dpi > 0 ? dpi : 96.0;
}

int twipsToPixels(double twips, const QWidget* widget) {
    return static_cast<int>(std::lround(twips * logicalDpi(widget) / kTwipsPerInch));
}

double pixelsToTwips(int pixels, const QWidget* widget) {
    return pixels * kTwipsPerInch / logicalDpi(widget);
}

QRect twipsRect(double left, double top, double width, double height, const QWidget* widget) {
    return QRect(twipsToPixels(left, widget), twipsToPixels(top, widget),
                 twipsToPixels(width, widget), twipsToPixels(height, widget));
}

QSize twipsSize(double width, double height, const QWidget* widget) {
    return QSize(twipsToPixels(width, widget), twipsToPixels(height, widget));
}

}  // namespace korvane
