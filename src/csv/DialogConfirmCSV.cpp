#include "csv/DialogConfirmCSV.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cmath>

#include "csv/CsvTexts.h"
#include "platform/Twips.h"
#include "platform/UserInteraction.h"
#include "shell/CaptionFit.h"
#include "shell/DialogControls.h"
#include "text/Numbers.h"

namespace korvane {

namespace {

constexpr int kSampleLines = 10;
// A sample line longer than this is shown cut: a list box line shows far less anyway.
constexpr int64_t kSampleLineBytes = 64 * 1024;
constexpr int64_t kDefaultChoice = 100;

}  // namespace

QString CsvCountSentence(int64_t count) {
    return QStringLiteral("CSVファイルには ") + NumberText(count) +
           QStringLiteral(" レコード含まれています。");
}

DialogConfirmCSV::DialogConfirmCSV(QWidget* parent) : ConfirmDialog(parent) {
    setUpForm("DialogConfirmCSV", QStringLiteral("表示範囲の設定"), 6030, 5430);

    m_label1 = newControl<QLabel>(this, "Label1", 120, 120, 5655, 255);
    m_label2 = newControl<QLabel>(this, "Label2", 120, 480, 5775, 375);
    m_label2->setText(QStringLiteral("リストビューに表示するレコード数を設定してください。"));
    m_option1 = newControl<QRadioButton>(this, "Option1", 360, 960, 2055, 255);
    m_option1->setText(QStringLiteral("レコード数を指定。"));
    m_text1 = newControl<QLineEdit>(this, "Text1", 2520, 960, 495, 270);
    setWidestNumber(*m_text1, 10);  // a record count of up to ten digits shows whole
    m_option2 = newControl<QRadioButton>(this, "Option2", 360, 1320, 1575, 255);
    m_option2->setText(QStringLiteral("全レコード表示"));
    m_frame1 = newControl<QFrame>(this, "Frame1", 120, 1800, 5775, 32);
    m_frame1->setFrameShape(QFrame::HLine);
    m_frame1->setFrameShadow(QFrame::Sunken);
    m_label3 = newControl<QLabel>(this, "Label3", 120, 1920, 735, 255);
    m_label3->setText(QStringLiteral("sample"));
    m_list1 = newControl<QListWidget>(this, "List1", 120, 2280, 5775, 2040);
    m_check1 = newControl<QCheckBox>(this, "Check1", 120, 4440, 2415, 255);
    m_check1->setText(QStringLiteral("先頭行は項目名である。"));
    m_okButton = newControl<QPushButton>(this, "OKButton", 120, 4920, 1215, 375);
    m_okButton->setText(QStringLiteral("OK"));
    m_cancelButton = newControl<QPushButton>(this, "CancelButton", 1440, 4920, 1215, 375);
    m_cancelButton->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    for (QPushButton* button : {m_okButton, m_cancelButton}) {
        button->setAutoDefault(false);
    }

    // Tab order: OKButton, Option1, Text1, Option2, Check1, List1, CancelButton (the labels
    // and the rule take no focus).
    setTabOrder(m_okButton, m_option1);
    setTabOrder(m_option1, m_text1);
    setTabOrder(m_text1, m_option2);
    setTabOrder(m_option2, m_check1);
    setTabOrder(m_check1, m_list1);
    setTabOrder(m_list1, m_cancelButton);
    m_okButton->setFocus();

    connect(m_okButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
}

void DialogConfirmCSV::Form_Load() {
    m_list1->clear();

    std::shared_ptr<TextFileReader> reader = TextFileReader::openFile(m_fname);
    CsvScan scan;
    if (reader) {
        UserInteraction& ui = userInteraction();
        ui.progressBegin(CountingProgressMessage());
        scan = scanCsvLines(reader, [&ui](double share) { return ui.progressUpdate(share); });
        ui.progressEnd();
    }
    if (scan.status == CsvScan::Status::Cancelled) {
        abandon();  // as if the dialog had been closed: no message
        return;
    }
    if (scan.status != CsvScan::Status::Done || !scan.lines) {
        userInteraction().showMessage(CannotReadMessage(m_fname), true);
        abandon();
        return;
    }
    m_lines = scan.lines;

    const int64_t sampleLines = std::min<int64_t>(kSampleLines, m_lines->lineCount());
    for (int64_t line = 0; line < sampleLines; ++line) {
        m_list1->addItem(m_lines->lineText(line, kSampleLineBytes));
    }
    m_itemCount = m_lines->maxFieldCount();
    m_recCount = m_lines->lineCount();
    m_label1->setText(CsvCountSentence(m_recCount));
    if (m_recCount >= kDefaultChoice) {
        m_text1->setText(QString::number(kDefaultChoice));
        m_option1->setChecked(true);
    } else {
        m_option2->setChecked(true);
        m_text1->setText(QString());
    }
    m_isTitle = false;
    m_check1->setChecked(false);
}

void DialogConfirmCSV::abandon() {
    m_abandoned = true;
    m_lines.reset();
    // The dialog is still being shown: close it once its event loop runs.
    QTimer::singleShot(0, this, [this] { reject(); });
}

void DialogConfirmCSV::OKButton_Click() {
    if (m_abandoned) {
        reject();
        return;
    }
    if (m_recCount == 0) {
        m_recView = 0;
        m_isTitle = false;
        confirm();
        return;
    }
    if (m_option1->isChecked()) {
        const double wanted = RoundHalfEven(Val(m_text1->text()));
        if (!std::isfinite(wanted) || wanted < 1.0 || wanted > static_cast<double>(m_recCount)) {
            userInteraction().showMessage(RecordCountRangeMessage(), true);
            return;
        }
        m_recView = static_cast<int64_t>(wanted);
    } else if (m_option2->isChecked()) {
        m_recView = m_recCount;
    }
    m_isTitle = m_check1->checkState() == Qt::Checked;
    confirm();
}

void DialogConfirmCSV::CancelButton_Click() {
    if (m_abandoned) {
        reject();  // the count was stopped or failed: it has had its word already
        return;
    }
    cancelWithNotice();
}

}  // namespace korvane
