#pragma once
// The display-range dialog of CSV and TXT files: counts the file's lines and fields when it
// opens, shows the first lines as a sample, and asks how many lines to show and whether the
// first one holds the column titles.

#include <QString>
#include <cstdint>
#include <memory>

#include "csv/CsvLines.h"
#include "shell/ConfirmDialog.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace korvane {

class DialogConfirmCSV : public ConfirmDialog {
    Q_OBJECT
public:
    explicit DialogConfirmCSV(QWidget* parent = nullptr);

    QString m_fname;          // in: the file to read
    int64_t m_recView = 0;    // out: lines to show, a title line included
    int64_t m_itemCount = 0;  // out: the largest field count of any line
    bool m_isTitle = false;   // out: the first line holds the column titles

    // The lines counted when the dialog opened, so the loader shows rows from the very lines
    // that were counted. Null when the file could not be read or the count was stopped.
    std::shared_ptr<const CsvLines> countedLines() const { return m_lines; }

protected:
    void Form_Load() override;

private:
    void OKButton_Click();
    void CancelButton_Click();
    // Closes the dialog as not confirmed once it is running (the count was stopped or failed).
    void abandon();

    int64_t m_recCount = 0;
    std::shared_ptr<const CsvLines> m_lines;
    bool m_abandoned = false;

    QLabel* m_label1;
    QLabel* m_label2;
    QRadioButton* m_option1;
    QLineEdit* m_text1;
    QRadioButton* m_option2;
    QFrame* m_frame1;
    QLabel* m_label3;
    QListWidget* m_list1;
    QCheckBox* m_check1;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

// "CSVファイルには " + NumberText(count) + " レコード含まれています。"
QString CsvCountSentence(int64_t count);

}  // namespace korvane
