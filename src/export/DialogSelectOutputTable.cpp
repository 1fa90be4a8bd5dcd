#include "export/DialogSelectOutputTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "export/ExportTexts.h"
#include "platform/Twips.h"
#include "platform/UserInteraction.h"
#include "shell/DialogControls.h"
#include "shell/ProgramState.h"
#include "shell/WrapAnywhereLabel.h"

namespace korvane {

namespace {}  // namespace

DialogSelectOutputTable::DialogSelectOutputTable(QWidget* parent) : ConfirmDialog(parent) {
    setUpForm("DialogSelectOutputTable", QStringLiteral("出力対象の確認"), 6030, 5385);

    m_label1 = placeControl(
        new QLabel(QStringLiteral("CSVファイルとして出力するファイル名とテーブルを指定します。"),
                   this),
        "Label1", 120, 120, 5055, 255);
    m_frame1 = placeControl(new QGroupBox(QStringLiteral("出力ファイル"), this), "Frame1", 120, 600,
                            5775, 1215);
    m_label2 = placeControl(new WrapAnywhereLabel(m_frame1), "Label2", 120, 360, 4815, 615);
    m_command1 = placeControl(new QPushButton(QStringLiteral("参照"), m_frame1), "Command1", 5040,
                              360, 615, 615);
    m_option3 = placeControl(new QRadioButton(QStringLiteral("テーブル"), this), "Option3", 120,
                             1920, 1215, 255);
    m_list1 = newNameList(this, "List1", 120, 2280, 2415, 2400);
    m_option4 = placeControl(new QRadioButton(QStringLiteral("選択クエリー"), this), "Option4",
                             3360, 1920, 1335, 255);
    m_list2 = newNameList(this, "List2", 3360, 2280, 2415, 2400);
    m_check1 = placeControl(new QCheckBox(QStringLiteral("１行目に項目名を出力する。"), this),
                            "Check1", 2880, 4800, 2895, 255);
    m_okButton =
        placeControl(new QPushButton(QStringLiteral("OK"), this), "OKButton", 120, 4800, 1215, 375);
    m_cancelButton = placeControl(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this), "CancelButton",
                                  1440, 4800, 1215, 375);

    auto* options = new QButtonGroup(this);
    options->addButton(m_option3);
    options->addButton(m_option4);
    m_okButton->setDefault(true);

    // Tab order: OK, Cancel, the browse button, the query side, then the table side, the box.
    setTabOrder(m_okButton, m_cancelButton);
    setTabOrder(m_cancelButton, m_command1);
    setTabOrder(m_command1, m_list2);
    setTabOrder(m_list2, m_option4);
    setTabOrder(m_option4, m_option3);
    setTabOrder(m_option3, m_list1);
    setTabOrder(m_list1, m_check1);

    connect(m_command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(m_okButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
}

void DialogSelectOutputTable::Form_Load() {
    m_label2->setText(QString());
    m_option3->setChecked(true);
    fillUnselected(*m_list1, programState().TableNames);
    fillUnselected(*m_list2, programState().QueryNames);
    m_check1->setChecked(false);
    m_okButton->setFocus();
}

void DialogSelectOutputTable::Command1_Click() {
    FileDialogRequest request;
    request.title = QStringLiteral("ファイル名の指定");
    request.filters = QStringList{QStringLiteral("テキストファイル (*.csv)")};
    request.folder = QCoreApplication::applicationDirPath();
    request.fileName = QString();
    // The name is taken as typed: no extension is added. A cancelled dialog keeps the earlier
    // choice.
    const std::optional<QString> chosen = userInteraction().saveFileName(request);
    if (chosen && !chosen->isEmpty()) {
        m_label2->setText(*chosen);
        m_label2->setToolTip(*chosen);
    }
}

void DialogSelectOutputTable::OKButton_Click() {
    if (m_label2->text().isEmpty()) {
        ShowMessage(textOf(ExportMessage::NoOutputFileName));
        return;
    }
    m_outputFilename = m_label2->text();

    const bool table = m_option3->isChecked();
    const QListWidget& list = table ? *m_list1 : *m_list2;
    const QStringList& names = table ? programState().TableNames : programState().QueryNames;
    const int line = selectedLine(list);
    if (line < 0 || line >= names.size()) {
        ShowMessage(textOf(ExportMessage::NoTableChosen));
        return;
    }
    m_selectTable = names.at(line);
    m_isTitle = m_check1->isChecked();
    confirm();
}

void DialogSelectOutputTable::CancelButton_Click() {
    cancelWithNotice();
}

std::optional<ExportTarget> AskExportTarget() {
    DialogSelectOutputTable dialog;
    userInteraction().runModal(dialog);
    if (dialog.retCode == 2) {
        return std::nullopt;
    }
    return ExportTarget{dialog.m_outputFilename, dialog.m_selectTable, dialog.m_isTitle};
}

}  // namespace korvane
