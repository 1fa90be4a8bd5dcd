#include "shell/DialogMessage.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "platform/Twips.h"
#include "shell/DialogControls.h"
#include "shell/ShellIcons.h"
#include "shell/WrapAnywhereLabel.h"

namespace korvane {

namespace {

// Room kept for the window's frame and title when a message grows towards the screen's height.
constexpr int kFrameAllowance = 64;

}  // namespace

DialogMessage::DialogMessage(QWidget* parent) : KorvaneDialog(parent) {
    setUpForm("DialogMessage", QStringLiteral("メッセージ"), 6030, 1980);

    m_picture1 = newControl<QLabel>(this, "Picture1", 120, 240, 480, 480);
    m_picture1->setPixmap(
        MessagePicture().scaled(m_picture1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_label1 = newControl<WrapAnywhereLabel>(this, "Label1", 840, 240, 5055, 855);
    m_okButton = newControl<QPushButton>(this, "OKButton", 120, 1440, 1215, 375);
    m_okButton->setText(QStringLiteral("OK"));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
}

void DialogMessage::Form_Load() {
    m_label1->setText(m_message);
    growForText();
}

void DialogMessage::growForText() {
    const int wanted = m_label1->heightForWidth(m_label1->width());
    int extra = wanted - m_label1->height();
    if (extra <= 0) {
        return;
    }
    // Never taller than the screen; a text longer still keeps its whole text in the tool tip.
    if (const QScreen* shown = screen()) {
        const int room = shown->availableGeometry().height() - kFrameAllowance - height();
        if (extra > room) {
            extra = std::max(room, 0);
            m_label1->setToolTip(m_message);
        }
    }
    m_label1->resize(m_label1->width(), m_label1->height() + extra);
    m_okButton->move(m_okButton->x(), m_okButton->y() + extra);
    setFixedSize(width(), height() + extra);
}

void DialogMessage::OKButton_Click() {
    accept();
}

}  // namespace korvane
