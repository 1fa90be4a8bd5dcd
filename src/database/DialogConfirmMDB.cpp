#include "database/DialogConfirmMDB.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <limits>

#include "database/DatabaseTexts.h"
#include "shell/CaptionFit.h"
#include "shell/DialogControls.h"
#include "shell/ProgramState.h"
#include "text/Numbers.h"

namespace korvane {

namespace {

QRadioButton* Option(QWidget* parent, const char* name, const QString& caption, double left,
                     double top, double width) {
    return newCaptioned<QRadioButton>(parent, name, caption, left, top, width, 255);
}

QListWidget* List(QWidget* parent, const char* name, double left) {
    return newNameList(parent, name, left, 2160, 2415, 2400);
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, double left) {
    QPushButton* button = newCaptioned<QPushButton>(parent, name, caption, left, 4800, 1215, 375);
    button->setAutoDefault(false);  // neither button answers Enter or Escape
    button->setDefault(false);
    return button;
}

}  // namespace

DialogConfirmMDB::DialogConfirmMDB(QWidget* parent) : ConfirmDialog(parent) {
    setUpForm("DialogConfirmMDB", QStringLiteral("表示範囲の設定"), 6030, 5340);
    setEscapeKey(EscapeKey::Ignored);  // only Cancel and the close command close it

    m_label1 = newControl<QLabel>(this, "Label1", 120, 120, 4215, 255);
    m_label1->setText(QStringLiteral("表示する件数と最初の表示対象を選択してください。"));
    m_frame1 = newControl<QGroupBox>(this, "Frame1", 240, 480, 5295, 1215);
    m_frame1->setTitle(QStringLiteral("表示範囲"));
    m_option1 = Option(m_frame1, "Option1", QStringLiteral("レコード数を指定。"), 240, 360, 2055);
    m_text1 = newControl<QLineEdit>(m_frame1, "Text1", 2400, 360, 495, 270);
    setWidestNumber(*m_text1, 10);  // a record count of up to ten digits shows whole
    m_option2 = Option(m_frame1, "Option2", QStringLiteral("全レコード表示"), 240, 720, 1575);
    m_option3 = Option(this, "Option3", QStringLiteral("テーブル"), 240, 1800, 1215);
    m_list1 = List(this, "List1", 240);
    m_option4 = Option(this, "Option4", QStringLiteral("選択クエリー"), 3120, 1800, 1335);
    m_list2 = List(this, "List2", 3120);
    m_okButton = Button(this, "OKButton", QStringLiteral("OK"), 120);
    m_cancelButton = Button(this, "CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), 1440);

    // Two groups: how many records, and which kind of object.
    auto* rangeGroup = new QButtonGroup(this);
    rangeGroup->addButton(m_option1);
    rangeGroup->addButton(m_option2);
    auto* kindGroup = new QButtonGroup(this);
    kindGroup->addButton(m_option3);
    kindGroup->addButton(m_option4);

    setTabOrder(m_okButton, m_cancelButton);
    setTabOrder(m_cancelButton, m_option2);
    setTabOrder(m_option2, m_text1);
    setTabOrder(m_text1, m_option1);
    setTabOrder(m_option1, m_list1);
    setTabOrder(m_list1, m_option3);
    setTabOrder(m_option3, m_option4);
    setTabOrder(m_option4, m_list2);
    m_okButton->setFocus();

    connect(m_okButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
}

void DialogConfirmMDB::Form_Load() {
    m_text1->setText(QString());
    m_option2->setChecked(true);
    m_option3->setChecked(true);
    fillUnselected(*m_list1, programState().TableNames);
    fillUnselected(*m_list2, programState().QueryNames);
    m_okButton->setFocus();
}

void DialogConfirmMDB::OKButton_Click() {
    // The box is read whichever option is on; a count only matters with "レコード数を指定。",
    // and there it must be a whole number that fits 32 bits.
    const double n = RoundHalfEven(Val(m_text1->text()));
    int32_t count = 0;
    if (m_option1->isChecked()) {
        if (!std::isfinite(n) || n < 1.0 ||
            n > static_cast<double>(std::numeric_limits<int32_t>::max())) {
            ShowMessage(textOf(DatabaseMessage::RecordCountIsAWholeNumber));
            return;
        }
        count = static_cast<int32_t>(n);
    }
    m_recMax = count;

    const ProgramState& state = programState();
    if (m_option3->isChecked()) {
        const int line = selectedLine(*m_list1);
        if (line < 0) {
            ShowMessage(textOf(DatabaseMessage::NothingChosen));
            return;
        }
        m_selectType = 1;
        m_selectName = line < state.TableNames.size() ? state.TableNames.at(line)
                                                      : m_list1->item(line)->text();
    } else {
        const int line = selectedLine(*m_list2);
        if (line < 0) {
            ShowMessage(textOf(DatabaseMessage::NothingChosen));
            return;
        }
        m_selectType = 2;
        m_selectName = line < state.QueryNames.size() ? state.QueryNames.at(line)
                                                      : m_list2->item(line)->text();
    }
    confirm();
}

void DialogConfirmMDB::CancelButton_Click() {
    cancelWithNotice();
}

}  // namespace korvane
