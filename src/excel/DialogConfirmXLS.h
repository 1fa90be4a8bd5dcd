#pragma once
// The Excel display-range dialog: one sheet of SheetNames and a rectangle of cells, given as
// first column, first row, number of columns and number of rows.

#include <QString>
#include <cstdint>

#include "shell/ConfirmDialog.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace korvane {

class DialogConfirmXLS : public ConfirmDialog {
    Q_OBJECT
public:
    explicit DialogConfirmXLS(QWidget* parent = nullptr);

    int16_t m_cola = 0;  // first column, from 1
    int16_t m_colb = 0;  // number of columns
    int16_t m_rowa = 0;  // first row, from 1
    int16_t m_rowb = 0;  // number of rows
    QString m_selectSheet;

protected:
    void Form_Load() override;

private:
    void OKButton_Click();
    void CancelButton_Click();

    QLabel* m_label1;
    QGroupBox* m_frame1;
    QLabel* m_label2;
    QLineEdit* m_text1;
    QLabel* m_label3;
    QLineEdit* m_text2;
    QLabel* m_label4;
    QLabel* m_label5;
    QLineEdit* m_text3;
    QLabel* m_label6;
    QLineEdit* m_text4;
    QLabel* m_label7;
    QListWidget* m_list1;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

}  // namespace korvane
