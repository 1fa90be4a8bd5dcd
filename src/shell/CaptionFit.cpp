#include "shell/CaptionFit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <algorithm>

#include "platform/Twips.h"

namespace korvane {

namespace {

constexpr double kDialogPointSize = 9.0;
constexpr double kEdgeMarginTwips = 120;  // the forms keep their controls this far from an edge
constexpr int kNeighbourGap = 2;          // pixels left free before a neighbour
constexpr int kLineEditInnerMargin = 2;   // QLineEdit's own margin on each side of its text
const char* const kWidestDigits = "korvaneWidestDigits";
// Title bars are drawn by the desktop, typically in a bold face up to a fifth larger than the
// dialog text, with the window's icon and three buttons beside the title.
constexpr double kTitleFontScale = 1.2;
constexpr double kTitleBarAllowanceTwips = 2100;

QString japaneseFamily() {
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    const QString preferred = QStringLiteral("Noto Sans CJK JP");
    if (japanese.contains(preferred)) {
        return preferred;
    }
    const QString desktop = QFontInfo(QApplication::font()).family();
    if (japanese.contains(desktop) || japanese.isEmpty()) {
        return desktop;
    }
    return japanese.constFirst();
}

// The text as drawn: a mnemonic's "&" takes no room.
QString shownText(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    shown.remove(QLatin1Char('&'));
    shown.replace(QChar(1), QLatin1Char('&'));
    return shown;
}

int labelWidth(const QLabel& label) {
    if (label.wordWrap() || label.text().isEmpty() || label.hasScaledContents() ||
        !label.pixmap().isNull()) {
        return 0;
    }
    const QFontMetrics metrics(label.font());
    return metrics.horizontalAdvance(label.text()) + label.width() - label.contentsRect().width() +
           2 * label.margin();
}

int buttonWidth(const QAbstractButton& button) {
    if (button.text().isEmpty()) {
        return 0;
    }
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QRadioButton*>(&button) != nullptr) {
        contents = QStyle::SE_RadioButtonContents;
    } else if (qobject_cast<const QCheckBox*>(&button) != nullptr) {
        contents = QStyle::SE_CheckBoxContents;
    } else if (qobject_cast<const QPushButton*>(&button) == nullptr) {
        return 0;  // tool buttons size themselves
    }
    const QRect area = button.style()->subElementRect(contents, &option, &button);
    const QFontMetrics metrics(button.font());
    return metrics.horizontalAdvance(shownText(button.text())) + button.width() - area.width();
}

int lineEditWidth(const QLineEdit& box) {
    const QString text = widestText(box);
    if (text.isEmpty()) {
        return 0;
    }
    QStyleOptionFrame option;
    option.initFrom(&box);
    option.lineWidth =
        box.hasFrame() ? box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &box) : 0;
    const QRect area = box.style()->subElementRect(QStyle::SE_LineEditContents, &option, &box);
    const QMargins margins = box.textMargins();
    const QFontMetrics metrics(box.font());
    // One more pixel for the cursor behind the last digit.
    return metrics.horizontalAdvance(text) + 1 + box.width() - area.width() +
           2 * kLineEditInnerMargin + margins.left() + margins.right();
}

// How far right `control` may reach: the nearest neighbour at its height, or the margin of
// its parent's edge.
int rightLimit(const QWidget& control) {
    const QWidget* parent = control.parentWidget();
    if (parent == nullptr) {
        return control.geometry().right();
    }
    int limit = parent->width() - twipsToPixels(kEdgeMarginTwips, parent);
    const QRect own = control.geometry();
    for (const QObject* child : parent->children()) {
        const auto* sibling = qobject_cast<const QWidget*>(child);
        if (sibling == nullptr || sibling == &control || sibling->isWindow() ||
            sibling->isHidden()) {
            continue;
        }
        const QRect other = sibling->geometry();
        const bool sameRows = other.top() <= own.bottom() && other.bottom() >= own.top();
        if (sameRows && other.left() > own.left()) {
            limit = std::min(limit, other.left() - kNeighbourGap);
        }
    }
    return std::max(limit, own.right());
}

}  // namespace

QFont DialogFont() {
    QFont font = QApplication::font();
    font.setFamilies({japaneseFamily()});
    font.setPointSizeF(kDialogPointSize);
    return font;
}

int TitleBarWidth(const QWidget& window) {
    QFont font = DialogFont();
    font.setPointSizeF(font.pointSizeF() * kTitleFontScale);
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(window.windowTitle()) +
           twipsToPixels(kTitleBarAllowanceTwips, &window);
}

void setWidestNumber(QLineEdit& box, int digits) {
    box.setProperty(kWidestDigits, digits);
}

QString widestText(const QLineEdit& box) {
    const int digits = box.property(kWidestDigits).toInt();
    QString widest;
    if (digits > 0) {
        // The widest digit of the font, as many times as the box must hold.
        const QFontMetrics metrics(box.font());
        QChar wide = QLatin1Char('0');
        for (char16_t digit = u'0'; digit <= u'9'; ++digit) {
            if (metrics.horizontalAdvance(QChar(digit)) > metrics.horizontalAdvance(wide)) {
                wide = QChar(digit);
            }
        }
        widest = QString(digits, wide);
    }
    const QFontMetrics metrics(box.font());
    return metrics.horizontalAdvance(box.text()) > metrics.horizontalAdvance(widest) ? box.text()
                                                                                     : widest;
}

int captionWidth(const QWidget& control) {
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return labelWidth(*label);
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        return buttonWidth(*button);
    }
    if (const auto* box = qobject_cast<const QLineEdit*>(&control)) {
        return lineEditWidth(*box);
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(&control)) {
        return frame->title().isEmpty() ? 0 : frame->minimumSizeHint().width();
    }
    return 0;
}

void FitCaptions(QWidget& form) {
    for (QWidget* control : form.findChildren<QWidget*>()) {
        if (control->isWindow()) {
            continue;
        }
        const int wanted = captionWidth(*control);
        if (wanted <= control->width()) {
            continue;
        }
        const int reach = rightLimit(*control) - control->x() + 1;
        control->resize(std::min(wanted, std::max(reach, control->width())), control->height());
    }
}

}  // namespace korvane
