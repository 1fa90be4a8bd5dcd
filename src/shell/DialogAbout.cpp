#include "shell/DialogAbout.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "platform/Twips.h"
#include "shell/ProgramInfo.h"
#include "shell/ShellIcons.h"

namespace korvane {

namespace {

QLabel* addLabel(QDialog* dialog, const char* name, const QString& text, double left, double top,
                 double width, double height) {
    auto* label = new QLabel(text, dialog);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(twipsRect(left, top, width, height, dialog));
    return label;
}

QLabel* addPicture(QDialog* dialog, const char* name, const QPixmap& picture, double left,
                   double top, double size) {
    auto* label = new QLabel(dialog);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(twipsRect(left, top, size, size, dialog));
    label->setPixmap(picture.scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return label;
}

}  // namespace

DialogAbout::DialogAbout(QWidget* parent) : KorvaneDialog(parent) {
    setUpForm("DialogAbout", QStringLiteral("バージョン"), 6030, 2955);

    addPicture(this, "Picture1", WindowIcon().pixmap(64, 64), 240, 240, 480);
    addPicture(this, "Picture2", LargePicture(), 4620, 240, 960);

    QLabel* title = addLabel(this, "lblTitle", programName(), 960, 180, 3300, 450);
    QFont titleFont = title->font();
    // The Windows name of the font first; elsewhere the first Japanese sans face that exists.
    titleFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                           QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Sans Serif")});
    titleFont.setPointSizeF(15.75);
    titleFont.setBold(true);
    title->setFont(titleFont);

    addLabel(this, "lblVersion", QStringLiteral("ﾊﾞｰｼﾞｮﾝ　") + programVersion(), 960, 690, 3300,
             255);
    QLabel* description = addLabel(
        this, "Label2",
        QStringLiteral("CSVファイル、EXCELファイル、MDBファイルの中身を見るためのツールです。"),
        960, 1005, 3420, 540);
    description->setWordWrap(true);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(twipsRect(240, 1590, 5550, 30, this));

    // The maker's three lines: placeholders that name no real person or company.
    const QString makerLines[] = {QStringLiteral("Korvane Project"),
                                  QStringLiteral("https://korvane.example.org/"),
                                  QStringLiteral("korvane@example.org")};
    double top = 1710;
    for (const QString& line : makerLines) {
        QLabel* label = addLabel(this, "Label1", line, 240, top, 4020, 255);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        top += 300;
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setGeometry(twipsRect(4395, 2160, 1380, 345, this));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
}

void DialogAbout::cmdOK_Click() {
    accept();
}

}  // namespace korvane
