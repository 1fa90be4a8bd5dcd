#include "shell/DialogMessage.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextOption>

#include "platform/Twips.h"
#include "shell/ShellIcons.h"

namespace korvane {

namespace {

// A label that wraps at word boundaries and, where a run has none (a long path), anywhere, so
// that a message naming a file shows as much of the path as fits.
class WrappingLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        QTextOption option(Qt::AlignLeft | Qt::AlignTop);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRectF(contentsRect()), text(), option);
    }
};

}  // namespace

void MakeFixedDialog(QDialog& dialog, double clientWidthTwips, double clientHeightTwips) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint);
    dialog.setFixedSize(twipsSize(clientWidthTwips, clientHeightTwips, &dialog));
}

DialogMessage::DialogMessage(QWidget* parent) : KorvaneDialog(parent) {
    setObjectName(QStringLiteral("DialogMessage"));
    setWindowTitle(QStringLiteral("メッセージ"));
    MakeFixedDialog(*this, 6030, 1980);

    m_picture1 = new QLabel(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setGeometry(twipsRect(120, 240, 480, 480, this));
    m_picture1->setPixmap(
        MessagePicture().scaled(m_picture1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));

    m_label1 = new WrappingLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setWordWrap(true);
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label1->setGeometry(twipsRect(840, 240, 5055, 855, this));

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("OKButton"));
    m_okButton->setGeometry(twipsRect(120, 1440, 1215, 375, this));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
}

void DialogMessage::Form_Load() {
    m_label1->setText(m_message);
}

void DialogMessage::OKButton_Click() {
    accept();
}

}  // namespace korvane
