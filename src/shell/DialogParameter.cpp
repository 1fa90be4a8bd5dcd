#include "shell/DialogParameter.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/UserInteraction.h"
#include "shell/DialogControls.h"
#include "shell/QueryValues.h"

namespace korvane {

DialogParameter::DialogParameter(QWidget* parent) : ConfirmDialog(parent) {
    setUpForm("DialogParameter", QStringLiteral("パラメーターの入力"), 4500, 1740);
    m_label1 = newControl<QLabel>(this, "Label1", 120, 120, 4215, 255);
    m_text1 = newControl<QLineEdit>(this, "Text1", 120, 480, 4215, 285);
    m_okButton =
        newCaptioned<QPushButton>(this, "OKButton", QStringLiteral("OK"), 1800, 1080, 1215, 375);
    m_cancelButton = newCaptioned<QPushButton>(this, "CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), 3120,
                                               1080, 1215, 375);
    // Enter confirms what was typed, as in Access's own box.
    m_okButton->setDefault(true);
    m_cancelButton->setAutoDefault(false);
    setTabOrder(m_text1, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    connect(m_okButton, &QPushButton::clicked, this, [this] {
        m_value = m_text1->text();
        confirm();
    });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { cancelWithNotice(); });
}

void DialogParameter::Form_Load() {
    m_shown = true;
    m_label1->setText(m_parameterName);
    m_text1->setText(QString());
    m_text1->setFocus();
}

QueryValueAnswer AskQueryValueInDialog(const QString& name) {
    DialogParameter dlg;
    dlg.m_parameterName = name;
    userInteraction().runModal(dlg);
    if (!dlg.m_shown) {
        return {QueryValueAnswer::Outcome::Unanswered, QString()};
    }
    if (dlg.retCode != 1) {
        return {QueryValueAnswer::Outcome::Cancelled, QString()};
    }
    return {QueryValueAnswer::Outcome::Typed, dlg.m_value};
}

}  // namespace korvane
