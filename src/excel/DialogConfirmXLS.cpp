#include "excel/DialogConfirmXLS.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <cmath>
#include <optional>

#include "excel/ExcelTexts.h"
#include "shell/CaptionFit.h"
#include "shell/DialogControls.h"
#include "shell/ProgramState.h"
#include "text/Numbers.h"

namespace korvane {

namespace {

// A box's number: its Val, rounded half to even; nothing when it does not fit 16 bits, which
// makes its own field's check fail.
std::optional<int16_t> BoxValue(const QLineEdit* box) {
    const double value = RoundHalfEven(Val(box->text()));
    if (!std::isfinite(value) || value < -32768.0 || value > 32767.0) {
        return std::nullopt;
    }
    return static_cast<int16_t>(value);
}

QLabel* Label(QWidget* parent, const char* name, const QString& caption, double left, double top,
              double width, double height) {
    return newCaptioned<QLabel>(parent, name, caption, left, top, width, height);
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, double left,
                    double top) {
    QPushButton* button = newCaptioned<QPushButton>(parent, name, caption, left, top, 1215, 375);
    button->setAutoDefault(false);  // neither button answers Enter or Escape
    button->setDefault(false);
    return button;
}

// A box for a column or row number: five digits (32767) show whole.
QLineEdit* NumberBox(QWidget* parent, const char* name, double left, double top, double width) {
    QLineEdit* box = newControl<QLineEdit>(parent, name, left, top, width, 270);
    setWidestNumber(*box, 5);
    return box;
}

}  // namespace

DialogConfirmXLS::DialogConfirmXLS(QWidget* parent) : ConfirmDialog(parent) {
    setUpForm("DialogConfirmXLS", QStringLiteral("表示範囲の設定"), 6030, 5430);
    setEscapeKey(EscapeKey::Ignored);  // only Cancel and the close command close it

    m_label1 = Label(this, "Label1",
                     QStringLiteral("表示するセルの範囲と最初の表示対象を選択してください。"), 120,
                     120, 4695, 255);
    m_frame1 = newControl<QGroupBox>(this, "Frame1", 120, 480, 5775, 1215);
    m_frame1->setTitle(QStringLiteral("表示範囲"));
    // "列" names the first-column box, "行" the first-row box.
    m_label2 = Label(m_frame1, "Label2", QStringLiteral("列"), 240, 360, 255, 255);
    m_text1 = NumberBox(m_frame1, "Text1", 720, 360, 735);
    m_label3 = Label(m_frame1, "Label3", QStringLiteral("行"), 240, 720, 255, 255);
    m_text2 = NumberBox(m_frame1, "Text2", 720, 720, 735);
    m_label4 = Label(m_frame1, "Label4", QStringLiteral("から"), 1920, 600, 375, 255);
    m_label5 = Label(m_frame1, "Label5", QStringLiteral("右（列方向へ）"), 2880, 360, 1215, 255);
    m_text3 = NumberBox(m_frame1, "Text3", 4320, 360, 615);
    m_label6 = Label(m_frame1, "Label6", QStringLiteral("下（行方向へ）"), 2880, 720, 1095, 255);
    m_text4 = NumberBox(m_frame1, "Text4", 4320, 720, 615);
    m_label7 = Label(this, "Label7", QStringLiteral("表示対象のシート"), 120, 1800, 1575, 255);
    m_list1 = newNameList(this, "List1", 120, 2160, 5775, 2580);
    m_okButton = Button(this, "OKButton", QStringLiteral("OK"), 120, 4920);
    m_cancelButton = Button(this, "CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), 1440, 4920);

    setTabOrder(m_okButton, m_cancelButton);
    setTabOrder(m_cancelButton, m_text1);
    setTabOrder(m_text1, m_text2);
    setTabOrder(m_text2, m_text3);
    setTabOrder(m_text3, m_text4);
    setTabOrder(m_text4, m_list1);
    m_okButton->setFocus();

    connect(m_okButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
}

void DialogConfirmXLS::Form_Load() {
    m_text1->setText(QStringLiteral("1"));
    m_text2->setText(QStringLiteral("1"));
    m_text3->setText(QStringLiteral("20"));
    m_text4->setText(QStringLiteral("20"));
    fillUnselected(*m_list1, programState().SheetNames);
    m_okButton->setFocus();
}

void DialogConfirmXLS::OKButton_Click() {
    const std::optional<int16_t> cola = BoxValue(m_text1);
    const std::optional<int16_t> rowa = BoxValue(m_text2);
    const std::optional<int16_t> colb = BoxValue(m_text3);
    const std::optional<int16_t> rowb = BoxValue(m_text4);
    // The fields take the values at once, also when a check below fails.
    m_cola = cola.value_or(m_cola);
    m_rowa = rowa.value_or(m_rowa);
    m_colb = colb.value_or(m_colb);
    m_rowb = rowb.value_or(m_rowb);

    if (!cola || *cola < 1 || *cola > 254) {
        ShowMessage(ColumnRangeMessage());
        return;
    }
    if (!colb || int32_t{*cola} + int32_t{*colb} > 254 || *colb < 1) {
        ShowMessage(ColumnRangeMessage());
        return;
    }
    if (!rowa || !rowb || *rowa < 1 || *rowb < 1) {  // 16 bits keep both at most 32767
        ShowMessage(RowRangeMessage());
        return;
    }
    const QList<QListWidgetItem*> selected = m_list1->selectedItems();
    if (selected.isEmpty()) {
        ShowMessage(NoSheetChosenMessage());
        return;
    }
    const int k = m_list1->row(selected.first());
    const QStringList& names = programState().SheetNames;
    m_selectSheet = k >= 0 && k < names.size() ? names.at(k) : selected.first()->text();
    confirm();
}

void DialogConfirmXLS::CancelButton_Click() {
    cancelWithNotice();
}

}  // namespace korvane
