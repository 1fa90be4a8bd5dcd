#pragma once
// The database display-range dialog: how many records to show (all, or a count) and which one
// table of TableNames or select query of QueryNames.

#include <QString>
#include <cstdint>

#include "shell/ConfirmDialog.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace korvane {

class DialogConfirmMDB : public ConfirmDialog {
    Q_OBJECT
public:
    explicit DialogConfirmMDB(QWidget* parent = nullptr);

    int32_t m_recMax = 0;      // records to show, 0 for all (32 bits: large tables are common)
    int16_t m_selectType = 0;  // 1 a table, 2 a select query
    QString m_selectName;

protected:
    void Form_Load() override;

private:
    void OKButton_Click();
    void CancelButton_Click();

    QLabel* m_label1;
    QGroupBox* m_frame1;
    QRadioButton* m_option1;
    QLineEdit* m_text1;
    QRadioButton* m_option2;
    QRadioButton* m_option3;
    QListWidget* m_list1;
    QRadioButton* m_option4;
    QListWidget* m_list2;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

}  // namespace korvane
