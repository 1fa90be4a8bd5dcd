// The display-range dialog driven as a person would: real widgets offscreen, answers through
// the scripted seam.
#include "csv/DialogConfirmCSV.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "CsvTestFiles.h"
#include "platform/Twips.h"
#include "shell/ScriptedInteraction.h"

namespace korvane {
namespace {

using Action = ScriptStep::Action;

ScriptStep Step(Action action, const char* object, const QString& text = {}) {
    return ScriptStep{action, QLatin1String(object), text, -1, true};
}

class DialogConfirmCSVTest : public ::testing::Test {
protected:
    void SetUp() override { setUserInteraction(&m_ui); }
    void TearDown() override { setUserInteraction(nullptr); }

    // Opens the dialog on `bytes`, takes the steps, and leaves the dialog for inspection.
    std::unique_ptr<DialogConfirmCSV> run(const QByteArray& bytes, std::vector<ScriptStep> steps) {
        auto dlg = std::make_unique<DialogConfirmCSV>();
        dlg->m_fname = m_files.write(QStringLiteral("t.csv"), bytes);
        m_ui.setDialogSteps(QStringLiteral("DialogConfirmCSV"), std::move(steps));
        userInteraction().runModal(*dlg);
        return dlg;
    }

    template <typename W>
    static W* control(DialogConfirmCSV& dlg, const char* name) {
        W* widget = dlg.findChild<W*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    ScriptedInteraction m_ui;
    CsvTestFiles m_files;
};

TEST_F(DialogConfirmCSVTest, DefaultChoiceDependsOnHundredLines) {
    struct Case {
        int lines;
        bool option1;
        const char* text;
    };
    for (const Case& c : {Case{99, false, ""}, Case{100, true, "100"}, Case{250, true, "100"}}) {
        auto dlg = run(NumberedLines(c.lines), {Step(Action::Close, "OKButton")});
        EXPECT_EQ(control<QRadioButton>(*dlg, "Option1")->isChecked(), c.option1) << c.lines;
        EXPECT_EQ(control<QRadioButton>(*dlg, "Option2")->isChecked(), !c.option1) << c.lines;
        EXPECT_EQ(control<QLineEdit>(*dlg, "Text1")->text(), QLatin1String(c.text)) << c.lines;
        EXPECT_EQ(control<QLabel>(*dlg, "Label1")->text(),
                  QStringLiteral("CSVファイルには  %1 レコード含まれています。").arg(c.lines));
        EXPECT_FALSE(control<QCheckBox>(*dlg, "Check1")->isChecked());
        EXPECT_EQ(dlg->retCode, 2);  // closed with the close command, silently
        EXPECT_TRUE(m_ui.records().empty());
    }
}

TEST_F(DialogConfirmCSVTest, TypedCountsFollowValAndTheRange) {
    struct Case {
        const char* text;
        int64_t recView;  // 0: the range message, the dialog stays open
    };
    const Case cases[] = {{"0", 0},   {"-5", 0},   {"11", 0},    {"99999999999999999999", 0},
                          {"2.5", 2}, {"3.5", 4},  {"12abc", 0}, {"1 0", 10},
                          {"abc", 0}, {"１０", 0}, {"0.5", 0},   {"1.5", 2},
                          {" 7 ", 7}, {"10", 10}};
    for (const Case& c : cases) {
        m_ui = ScriptedInteraction();
        auto dlg =
            run(NumberedLines(10), {Step(Action::Click, "Option1"),
                                    Step(Action::SetText, "Text1", QString::fromUtf8(c.text)),
                                    Step(Action::Click, "OKButton")});
        if (c.recView == 0) {
            ASSERT_EQ(m_ui.records().size(), 1u) << c.text;
            EXPECT_EQ(m_ui.records()[0][1],
                      QStringLiteral("表示するレコード数は１以上最大レコード数以下の整数です。"));
            EXPECT_TRUE(m_ui.dialogLeftOpen()) << c.text;
            EXPECT_EQ(dlg->retCode, 2) << c.text;
        } else {
            EXPECT_TRUE(m_ui.records().empty()) << c.text;
            EXPECT_EQ(dlg->retCode, 1) << c.text;
            EXPECT_EQ(dlg->m_recView, c.recView) << c.text;
        }
    }
}

TEST_F(DialogConfirmCSVTest, WrongCountCanBeCorrectedInTheOpenDialog) {
    auto dlg = run(NumberedLines(10),
                   {Step(Action::Click, "Option1"), Step(Action::SetText, "Text1", "50"),
                    Step(Action::Click, "OKButton"), Step(Action::SetText, "Text1", "5"),
                    Step(Action::Click, "OKButton")});
    EXPECT_EQ(m_ui.records().size(), 1u);
    EXPECT_EQ(dlg->retCode, 1);
    EXPECT_EQ(dlg->m_recView, 5);
}

TEST_F(DialogConfirmCSVTest, AllLinesIgnoresTheTextAndCountsTheTitle) {
    auto dlg = run(NumberedLines(10),
                   {Step(Action::SetText, "Text1", "junk"), Step(Action::Click, "Option2"),
                    Step(Action::Click, "Check1"), Step(Action::Click, "OKButton")});
    EXPECT_EQ(dlg->retCode, 1);
    EXPECT_EQ(dlg->m_recView, 10);
    EXPECT_TRUE(dlg->m_isTitle);
}

TEST_F(DialogConfirmCSVTest, SampleAndWidestLine) {
    struct Case {
        const char* name;
        QByteArray bytes;
        int sampleLines;
        int64_t itemCount;
    };
    const Case cases[] = {
        {"3 lines of 2, 5 and 3 fields", "a,b\r\n1,2,3,4,5\r\nx,y,z\r\n", 3, 5},
        {"12 lines", NumberedLines(12, 2), 10, 2},
        {"empty lines only", "\r\n\r\n", 2, 0},
    };
    for (const Case& c : cases) {
        auto dlg = run(c.bytes, {Step(Action::Click, "Option2"), Step(Action::Click, "OKButton")});
        auto* list = control<QListWidget>(*dlg, "List1");
        EXPECT_EQ(list->count(), c.sampleLines) << c.name;
        EXPECT_EQ(dlg->m_itemCount, c.itemCount) << c.name;
    }
    // Sample lines are unsplit.
    auto dlg = run("a,\"b,c\"\r\n", {Step(Action::Click, "OKButton")});
    EXPECT_EQ(control<QListWidget>(*dlg, "List1")->item(0)->text(), QStringLiteral("a,\"b,c\""));
}

TEST_F(DialogConfirmCSVTest, EmptyFileConfirmsWithNoLines) {
    auto dlg = run("", {Step(Action::Click, "Option1"), Step(Action::SetText, "Text1", "7"),
                        Step(Action::Click, "Check1"), Step(Action::Click, "OKButton")});
    EXPECT_EQ(control<QLabel>(*dlg, "Label1")->text(),
              QStringLiteral("CSVファイルには  0 レコード含まれています。"));
    EXPECT_EQ(dlg->retCode, 1);
    EXPECT_EQ(dlg->m_recView, 0);
    EXPECT_FALSE(dlg->m_isTitle);
    EXPECT_TRUE(m_ui.records().empty());
}

TEST_F(DialogConfirmCSVTest, CancelShowsTheNoticeAndKeepsRetCode2) {
    for (const QByteArray& bytes : {QByteArray(), NumberedLines(5)}) {
        m_ui = ScriptedInteraction();
        auto dlg = run(bytes, {Step(Action::Click, "CancelButton")});
        EXPECT_EQ(dlg->retCode, 2);
        ASSERT_EQ(m_ui.records().size(), 1u);
        EXPECT_EQ(m_ui.records()[0], QStringList({"box", QStringLiteral("インフォメーション"),
                                                  QStringLiteral("キャンセルされました。")}));
    }
}

TEST_F(DialogConfirmCSVTest, StoppedCountClosesSilently) {
    m_ui.setCancelProgress(true);
    auto dlg = run(NumberedLines(10), {Step(Action::Click, "OKButton")});
    EXPECT_EQ(dlg->retCode, 2);
    EXPECT_FALSE(dlg->countedLines());
    EXPECT_TRUE(m_ui.records().empty());
}

// Shows dialogs with their own event loop, as the window does, and stops every long count.
class ExecInteraction : public ScriptedInteraction {
public:
    void runModal(QDialog& dialog) override { dialog.exec(); }
    bool progressUpdate(double) override { return false; }
};

TEST_F(DialogConfirmCSVTest, StoppedCountEndsTheDialogsOwnEventLoop) {
    ExecInteraction interaction;
    setUserInteraction(&interaction);
    DialogConfirmCSV dlg;
    dlg.m_fname = m_files.write(QStringLiteral("t.csv"), NumberedLines(3));
    // Should the dialog stay open, a late close ends the loop so the test fails, not hangs.
    bool forcedClosed = false;
    QTimer::singleShot(20000, &dlg, [&dlg, &forcedClosed] {
        forcedClosed = true;
        dlg.reject();
    });
    userInteraction().runModal(dlg);
    EXPECT_FALSE(forcedClosed);
    EXPECT_EQ(dlg.retCode, 2);
    EXPECT_TRUE(interaction.records().empty());
}

TEST_F(DialogConfirmCSVTest, UnreadableFileIsReportedAndNotConfirmed) {
    DialogConfirmCSV dlg;
    dlg.m_fname = m_files.path(QString());  // the folder itself
    userInteraction().runModal(dlg);
    EXPECT_EQ(dlg.retCode, 2);
    ASSERT_EQ(m_ui.records().size(), 1u);
    EXPECT_TRUE(m_ui.records()[0][1].endsWith(QStringLiteral(")を読み込めません。")));
}

TEST_F(DialogConfirmCSVTest, ControlsStandWhereDesigned) {
    DialogConfirmCSV dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("表示範囲の設定"));
    struct Place {
        const char* name;
        int left, top, width, height;
        const char* caption;
    };
    const Place places[] = {
        {"Label1", 120, 120, 5655, 255, ""},
        {"Label2", 120, 480, 5775, 375, "リストビューに表示するレコード数を設定してください。"},
        {"Option1", 360, 960, 2055, 255, "レコード数を指定。"},
        {"Text1", 2520, 960, 495, 270, ""},
        {"Option2", 360, 1320, 1575, 255, "全レコード表示"},
        {"Frame1", 120, 1800, 5775, 32, nullptr},
        {"Label3", 120, 1920, 735, 255, "sample"},
        {"List1", 120, 2280, 5775, 2040, nullptr},
        {"Check1", 120, 4440, 2415, 255, "先頭行は項目名である。"},
        {"OKButton", 120, 4920, 1215, 375, "OK"},
        {"CancelButton", 1440, 4920, 1215, 375, "ｷｬﾝｾﾙ"},
    };
    for (const Place& p : places) {
        QWidget* widget = dlg.findChild<QWidget*>(QLatin1String(p.name));
        ASSERT_NE(widget, nullptr) << p.name;
        EXPECT_EQ(widget->geometry(), twipsRect(p.left, p.top, p.width, p.height, &dlg)) << p.name;
        if (p.caption == nullptr) {
            continue;
        }
        QString caption;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            caption = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            caption = button->text();
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            caption = edit->text();
        }
        EXPECT_EQ(caption, QString::fromUtf8(p.caption)) << p.name;
    }
    // Tab order among the controls that take focus.
    const char* order[] = {"OKButton", "Option1", "Text1",       "Option2",
                           "Check1",   "List1",   "CancelButton"};
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget* from = dlg.findChild<QWidget*>(QLatin1String(order[i]));
        QWidget* next = from->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus) {
            next = next->nextInFocusChain();
        }
        EXPECT_EQ(next->objectName(), QLatin1String(order[i + 1])) << order[i];
    }
}

}  // namespace
}  // namespace korvane
