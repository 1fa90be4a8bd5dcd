#pragma once
// The program's one message window: the caller sets m_message and shows it, modal or modeless.

#include <QString>

#include "shell/KorvaneDialog.h"

class QLabel;
class QPushButton;

namespace korvane {

class DialogMessage : public KorvaneDialog {
    Q_OBJECT
public:
    explicit DialogMessage(QWidget* parent = nullptr);

    QString m_message;

protected:
    void Form_Load() override;

private:
    void OKButton_Click();

    QLabel* m_picture1;
    QLabel* m_label1;
    QPushButton* m_okButton;
};

// A fixed-size dialog frame without minimize and maximize buttons.
void MakeFixedDialog(QDialog& dialog, double clientWidthTwips, double clientHeightTwips);

}  // namespace korvane
