// The Excel display-range dialog as a person uses it: typed boxes, a chosen sheet, OK, Cancel
// and the close command, with the seam recording every message.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "excel/DialogConfirmXLS.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"

namespace korvane {
namespace {

const QString kColumnMessage = QStringLiteral("カラムの範囲は１－２５５までです。");
const QString kRowMessage = QStringLiteral("行の指定範囲が不正です。（1-32767までです。）");
const QString kNoSheetMessage = QStringLiteral("シートが選択されていません。");

class DialogConfirmXLSTest : public ::testing::Test {
protected:
    void SetUp() override {
        setUserInteraction(&m_ui);
        InitProgramState();
        programState().SheetNames = QStringList{"Sheet1", "Sheet2", "Sheet3"};
    }
    void TearDown() override { setUserInteraction(nullptr); }

    ScriptedInteraction m_ui;
};

ScriptStep typeInto(const char* box, const QString& text) {
    return ScriptStep{ScriptStep::Action::SetText, QLatin1String(box), text, -1, true};
}

struct OkCase {
    const char* what;
    QString col, row, cols, rows;  // typed into Text1..Text4
    int sheetIndex;                // 0-based line of List1; -1 selects none
    QString message;               // empty when OK goes through
    int16_t cola = 0, rowa = 0, colb = 0, rowb = 0;
};

TEST_F(DialogConfirmXLSTest, OkChecks) {
    const OkCase cases[] = {
        {"defaults without a sheet", "1", "1", "20", "20", -1, kNoSheetMessage},
        {"defaults with Sheet2", "1", "1", "20", "20", 1, {}, 1, 1, 20, 20},
        {"first column 235 with 20", "235", "1", "20", "1", 0, kColumnMessage},
        {"first column 234 with 20", "234", "1", "20", "1", 0, {}, 234, 1, 20, 1},
        {"first column 254 with 1", "254", "1", "1", "1", 0, kColumnMessage},
        {"first column 253 with 1", "253", "1", "1", "1", 0, {}, 253, 1, 1, 1},
        {"first column 0", "0", "1", "1", "1", 0, kColumnMessage},
        {"empty first column", "", "1", "1", "1", 0, kColumnMessage},
        {"abc as first column", "abc", "1", "1", "1", 0, kColumnMessage},
        {"no columns", "1", "1", "0", "1", 0, kColumnMessage},
        {"negative columns", "5", "1", "-3", "1", 0, kColumnMessage},
        {"70000 first column", "70000", "1", "1", "1", 0, kColumnMessage},
        {"70000 columns", "1", "1", "70000", "1", 0, kColumnMessage},
        {"column sum in a wide integer", "200", "1", "32767", "1", 0, kColumnMessage},
        {"first row 0", "1", "0", "1", "1", 0, kRowMessage},
        {"no rows", "1", "1", "1", "0", 0, kRowMessage},
        {"70000 first row", "1", "70000", "1", "1", 0, kRowMessage},
        {"70000 rows", "1", "1", "1", "70000", 0, kRowMessage},
        {"first row 32767 with 1 row", "1", "32767", "1", "1", 0, {}, 1, 32767, 1, 1},
        {"32767 rows from 32767", "1", "32767", "1", "32767", 2, {}, 1, 32767, 1, 32767},
        {"a blank then 12abc", "1", "1", " 12abc", "1", 0, {}, 1, 1, 12, 1},
        {"2.5 goes to 2", "1", "1", "2.5", "1", 0, {}, 1, 1, 2, 1},
        {"3.5 goes to 4", "1", "1", "3.5", "1", 0, {}, 1, 1, 4, 1},
        {"hexadecimal", "&H1A", "1", "1", "1", 0, {}, 26, 1, 1, 1},
        {"column check before row check", "0", "0", "1", "1", -1, kColumnMessage},
        {"row check before sheet check", "1", "0", "1", "1", -1, kRowMessage},
    };
    for (const OkCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedInteraction ui;
        setUserInteraction(&ui);
        std::vector<ScriptStep> steps{typeInto("Text1", c.col), typeInto("Text2", c.row),
                                      typeInto("Text3", c.cols), typeInto("Text4", c.rows)};
        if (c.sheetIndex >= 0) {
            steps.push_back({ScriptStep::Action::SelectIndex, "List1", {}, c.sheetIndex, true});
        }
        steps.push_back({ScriptStep::Action::Click, "OKButton", {}, -1, true});
        ui.setDialogSteps("DialogConfirmXLS", steps);
        DialogConfirmXLS dialog;
        ui.runModal(dialog);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(ui.records().empty());
            EXPECT_EQ(dialog.retCode, 1);
            EXPECT_FALSE(ui.dialogLeftOpen());
            EXPECT_EQ(dialog.m_cola, c.cola);
            EXPECT_EQ(dialog.m_rowa, c.rowa);
            EXPECT_EQ(dialog.m_colb, c.colb);
            EXPECT_EQ(dialog.m_rowb, c.rowb);
            EXPECT_EQ(dialog.m_selectSheet, programState().SheetNames.at(c.sheetIndex));
        } else {
            ASSERT_EQ(ui.records().size(), 1u);
            EXPECT_EQ(ui.records()[0], QStringList({"message", c.message}));
            EXPECT_TRUE(ui.dialogLeftOpen());  // a failed check keeps the dialog open
            EXPECT_EQ(dialog.retCode, 2);
        }
    }
}

TEST_F(DialogConfirmXLSTest, FieldsTakeTheValuesEvenWhenACheckFails) {
    m_ui.setDialogSteps("DialogConfirmXLS",
                        {typeInto("Text1", "7"),
                         typeInto("Text2", "0"),
                         typeInto("Text3", "3"),
                         typeInto("Text4", "9"),
                         {ScriptStep::Action::Click, "OKButton", {}, -1, true}});
    DialogConfirmXLS dialog;
    m_ui.runModal(dialog);
    EXPECT_EQ(dialog.m_cola, 7);
    EXPECT_EQ(dialog.m_rowa, 0);
    EXPECT_EQ(dialog.m_colb, 3);
    EXPECT_EQ(dialog.m_rowb, 9);
    EXPECT_EQ(dialog.retCode, 2);
}

TEST_F(DialogConfirmXLSTest, CancelShowsTheNoticeAndCloseShowsNothing) {
    m_ui.setDialogSteps("DialogConfirmXLS",
                        {{ScriptStep::Action::Click, "CancelButton", {}, -1, true}});
    DialogConfirmXLS cancelled;
    m_ui.runModal(cancelled);
    EXPECT_EQ(cancelled.retCode, 2);
    ASSERT_EQ(m_ui.records().size(), 1u);
    EXPECT_EQ(m_ui.records()[0], QStringList({"box", QStringLiteral("インフォメーション"),
                                              QStringLiteral("キャンセルされました。")}));

    m_ui.setDialogSteps("DialogConfirmXLS", {{ScriptStep::Action::Close, {}, {}, -1, true}});
    DialogConfirmXLS closed;
    m_ui.runModal(closed);
    EXPECT_EQ(closed.retCode, 2);
    EXPECT_EQ(m_ui.records().size(), 1u);
    EXPECT_FALSE(m_ui.dialogLeftOpen());
}

TEST_F(DialogConfirmXLSTest, ControlsAsLoaded) {
    DialogConfirmXLS dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("表示範囲の設定"));
    const std::pair<const char*, QString> texts[] = {
        {"Text1", "1"}, {"Text2", "1"}, {"Text3", "20"}, {"Text4", "20"}};
    for (const auto& [name, text] : texts) {
        auto* box = dialog.findChild<QLineEdit*>(name);
        ASSERT_NE(box, nullptr) << name;
        EXPECT_EQ(box->text(), text) << name;
    }
    // Each one-character label names the box beside it: Text1 is the first column.
    EXPECT_EQ(dialog.findChild<QLabel*>("Label2")->text(), QStringLiteral("列"));
    EXPECT_EQ(dialog.findChild<QLabel*>("Label3")->text(), QStringLiteral("行"));
    EXPECT_EQ(dialog.findChild<QPushButton*>("CancelButton")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    auto* list = dialog.findChild<QListWidget*>("List1");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(2)->text(), "Sheet3");
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_EQ(dialog.retCode, 2);
    // Tab order from the OK button: Cancel, then the four boxes, then the list.
    QWidget* w = dialog.findChild<QPushButton*>("OKButton");
    QStringList order;
    for (int i = 0; i < 6; ++i) {
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus) {
            w = w->nextInFocusChain();
        }
        order << w->objectName();
    }
    EXPECT_EQ(order, QStringList({"CancelButton", "Text1", "Text2", "Text3", "Text4", "List1"}));
    dialog.close();
}

}  // namespace
}  // namespace korvane
