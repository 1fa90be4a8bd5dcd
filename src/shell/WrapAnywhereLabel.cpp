#include "shell/WrapAnywhereLabel.h"

#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

namespace korvane {

namespace {

QTextOption wrapAnywhere() {
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

// Lays the text out in lines of `width` pixels and returns the height they take; painting uses
// the very same lines, so what the height promises is what is drawn.
qreal layOut(QTextLayout& layout, int width) {
    layout.setTextOption(wrapAnywhere());
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

}  // namespace

WrapAnywhereLabel::WrapAnywhereLabel(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

int WrapAnywhereLabel::textHeight(int width) const {
    if (text().isEmpty() || width <= 0) {
        return 0;
    }
    QTextLayout layout(text(), font());
    return static_cast<int>(std::ceil(layOut(layout, width)));
}

int WrapAnywhereLabel::heightForWidth(int width) const {
    const QMargins margins = contentsMargins();
    return textHeight(width - margins.left() - margins.right()) + margins.top() + margins.bottom();
}

void WrapAnywhereLabel::paintEvent(QPaintEvent* /*event*/) {
    const QRect area = contentsRect();
    QTextLayout layout(text(), font());
    layOut(layout, area.width());
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setClipRect(area);
    layout.draw(&painter, area.topLeft());
}

}  // namespace korvane
