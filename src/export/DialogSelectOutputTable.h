#pragma once
// The dialog of File > Convert: the output CSV file (chosen through the save dialog), one table
// or select query of the open database, and whether the first line holds the column names. The
// caller reads the public fields after it has closed, and only when retCode is not 2.

#include <QString>
#include <cstdint>
#include <optional>

#include "export/ConvertCommand.h"
#include "shell/ConfirmDialog.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace korvane {

class DialogSelectOutputTable : public ConfirmDialog {
    Q_OBJECT
public:
    explicit DialogSelectOutputTable(QWidget* parent = nullptr);

    QString m_outputFilename;
    QString m_selectTable;
    bool m_isTitle = false;

protected:
    void Form_Load() override;

private:
    void Command1_Click();
    void OKButton_Click();
    void CancelButton_Click();

    QLabel* m_label1;
    QGroupBox* m_frame1;
    QLabel* m_label2;
    QPushButton* m_command1;
    QRadioButton* m_option3;
    QListWidget* m_list1;
    QRadioButton* m_option4;
    QListWidget* m_list2;
    QCheckBox* m_check1;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

// Shows a new DialogSelectOutputTable modal through the user-interaction seam and reads its
// fields; nothing when it was cancelled or closed.
std::optional<ExportTarget> AskExportTarget();

}  // namespace korvane
