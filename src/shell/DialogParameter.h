#pragma once
// The dialog "パラメーターの入力": asks for one value a parameter query needs, showing its name
// as the query writes it, with a text box, OK and ｷｬﾝｾﾙ.

#include <QString>

#include "shell/ConfirmDialog.h"
#include "shell/QueryValues.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace korvane {

class DialogParameter : public ConfirmDialog {
    Q_OBJECT
public:
    explicit DialogParameter(QWidget* parent = nullptr);

    QString m_parameterName;  // set by the caller: "Start Date", "Forms!Customers!CustomerID"
    QString m_value;          // after OK: the text as typed
    bool m_shown = false;     // false when the dialog never came up (nobody was there to ask)

protected:
    void Form_Load() override;

private:
    QLabel* m_label1;
    QLineEdit* m_text1;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

// Asks for `name` in a DialogParameter through the user-interaction seam.
QueryValueAnswer AskQueryValueInDialog(const QString& name);

}  // namespace korvane
