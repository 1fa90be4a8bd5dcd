#pragma once
// The program's one message window: the caller sets m_message and shows it, modal or modeless.
// The text wraps anywhere (a path has no blanks) and is shown whole: when it needs more lines
// than the label holds, the window grows downwards; its width stays.

#include <QString>

#include "shell/KorvaneDialog.h"

class QLabel;
class QPushButton;

namespace korvane {

class WrapAnywhereLabel;

class DialogMessage : public KorvaneDialog {
    Q_OBJECT
public:
    explicit DialogMessage(QWidget* parent = nullptr);

    QString m_message;

protected:
    void Form_Load() override;

private:
    void OKButton_Click();
    void growForText();

    QLabel* m_picture1;
    WrapAnywhereLabel* m_label1;
    QPushButton* m_okButton;
};

}  // namespace korvane
