#include "shell/WindowSettings.h"

#include <QSettings>
#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

const QString kOrganization = QStringLiteral("Korvane");
const QString kApplication = QStringLiteral("Korvane");
const QString kGroup = QStringLiteral("Settings");
const QString kLeftKey = QStringLiteral("MainLeft");
const QString kTopKey = QStringLiteral("MainTop");
const QString kWidthKey = QStringLiteral("MainWidth");
const QString kHeightKey = QStringLiteral("MainHeight");

// About 7 m: no screen is this large, and a value beyond it would overflow the pixel maths.
constexpr double kLargestTwips = 1.0e7;
// How much of the window's top edge must lie on a screen so that it can be seen and grabbed.
constexpr double kVisibleTwips = 720;

}  // namespace

double TwipsFromSetting(const QString& text, double fallback) {
    bool ok = false;
    const float value = text.trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > kLargestTwips) {
        return fallback;
    }
    return value;
}

QString TwipsSettingText(double twips) {
    // Seven significant digits hold every value a single-precision number can tell apart here.
    return QString::number(static_cast<double>(static_cast<float>(twips)), 'g', 7);
}

WindowGeometry KeepOnSomeScreen(const WindowGeometry& geometry,
                                const std::vector<QRectF>& screens) {
    WindowGeometry result = geometry;
    const WindowGeometry defaults;
    if (result.width <= 0) {
        result.width = defaults.width;
    }
    if (result.height <= 0) {
        result.height = defaults.height;
    }
    const double needed = std::min(kVisibleTwips, result.width);
    for (const QRectF& screen : screens) {
        const bool topEdgeOnScreen = result.top >= screen.top() && result.top < screen.bottom();
        const double overlap = std::min(result.left + result.width, screen.right()) -
                               std::max(result.left, screen.left());
        if (topEdgeOnScreen && overlap >= needed) {
            return result;
        }
    }
    if (screens.empty()) {
        return result;  // nothing to measure against: take the values as they are
    }
    result.left = defaults.left;
    result.top = defaults.top;
    return result;
}

WindowGeometry ReadWindowGeometry() {
    QSettings settings(kOrganization, kApplication);
    settings.beginGroup(kGroup);
    const WindowGeometry defaults;
    WindowGeometry geometry;
    geometry.left = TwipsFromSetting(settings.value(kLeftKey).toString(), defaults.left);
    geometry.top = TwipsFromSetting(settings.value(kTopKey).toString(), defaults.top);
    geometry.width = TwipsFromSetting(settings.value(kWidthKey).toString(), defaults.width);
    geometry.height = TwipsFromSetting(settings.value(kHeightKey).toString(), defaults.height);
    return geometry;
}

void SaveWindowGeometry(const WindowGeometry& geometry) {
    QSettings settings(kOrganization, kApplication);
    settings.beginGroup(kGroup);
    settings.setValue(kLeftKey, TwipsSettingText(geometry.left));
    settings.setValue(kTopKey, TwipsSettingText(geometry.top));
    settings.setValue(kWidthKey, TwipsSettingText(geometry.width));
    settings.setValue(kHeightKey, TwipsSettingText(geometry.height));
}

}  // namespace korvane
