#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include "database/DialogConfirmMDB.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"

namespace korvane {
namespace {

using Action = ScriptStep::Action;

const QString kCountMessage = QStringLiteral("表示するレコード数は１の整数です。");
const QString kNothingSelected = QStringLiteral("テーブルが選択されていません。");

ScriptStep step(Action action, const char* object, const QString& text = {}, int index = -1) {
    return ScriptStep{action, QLatin1String(object), text, index, true};
}

ScriptStep okClick() {
    return step(Action::Click, "OKButton");
}

class DialogConfirmMDBTest : public ::testing::Test {
protected:
    void SetUp() override {
        setUserInteraction(&m_ui);
        InitProgramState();
        programState().TableNames = QStringList({"Customers", "Orders", "日本語"});
        programState().QueryNames = QStringList({"qryA", "qryB", "qryC"});
    }
    void TearDown() override { setUserInteraction(nullptr); }

    // Runs the dialog with the steps; the messages it showed.
    QStringList run(DialogConfirmMDB& dlg, std::vector<ScriptStep> steps) {
        m_ui.setDialogSteps(QStringLiteral("DialogConfirmMDB"), std::move(steps));
        m_ui.runModal(dlg);
        EXPECT_FALSE(m_ui.scriptError()) << m_ui.scriptError().value_or(QString()).toStdString();
        QStringList messages;
        for (const QStringList& record : m_ui.records()) {
            messages << record.mid(1).join(QLatin1Char('|'));
        }
        return messages;
    }

    ScriptedInteraction m_ui;
};

TEST_F(DialogConfirmMDBTest, LoadSetsTheDefaults) {
    DialogConfirmMDB dlg;
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("表示範囲の設定"));
    EXPECT_EQ(dlg.retCode, 2);
    EXPECT_TRUE(dlg.findChild<QRadioButton*>(QStringLiteral("Option2"))->isChecked());
    EXPECT_TRUE(dlg.findChild<QRadioButton*>(QStringLiteral("Option3"))->isChecked());
    EXPECT_EQ(dlg.findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), QString());
    const auto* list1 = dlg.findChild<QListWidget*>(QStringLiteral("List1"));
    ASSERT_EQ(list1->count(), 3);
    EXPECT_EQ(list1->item(2)->text(), QStringLiteral("日本語"));
    EXPECT_TRUE(list1->selectedItems().isEmpty());
    EXPECT_EQ(dlg.findChild<QListWidget*>(QStringLiteral("List2"))->count(), 3);
    // The three controls of the frame live in it.
    const auto* frame = dlg.findChild<QGroupBox*>(QStringLiteral("Frame1"));
    for (const char* name : {"Option1", "Text1", "Option2"}) {
        EXPECT_EQ(dlg.findChild<QWidget*>(QLatin1String(name))->parentWidget(), frame) << name;
    }
    // The option groups are separate: switching the kind keeps "全レコード表示".
    dlg.findChild<QRadioButton*>(QStringLiteral("Option4"))->setChecked(true);
    EXPECT_TRUE(dlg.findChild<QRadioButton*>(QStringLiteral("Option2"))->isChecked());
    dlg.close();
}

TEST_F(DialogConfirmMDBTest, CountBoxReadings) {
    struct Case {
        QString text;
        bool specified;
        bool accepted;
        int32_t recMax;
    };
    const Case cases[] = {
        {"0", true, false, 0},
        {"-3", true, false, 0},
        {"", true, false, 0},
        {"abc", true, false, 0},
        {"12abc", true, true, 12},
        {"2.5", true, true, 2},
        {"3.5", true, true, 4},
        {"0.5", true, false, 0},
        {" 7 ", true, true, 7},
        {"32768", true, true, 32768},
        {"2147483647", true, true, 2147483647},
        {"2147483648", true, false, 0},
        {"1e300", true, false, 0},
        {"abc", false, true, 0},
        {"99999999999", false, true, 0},
        {"5", false, true, 0},
    };
    for (const Case& c : cases) {
        DialogConfirmMDB dlg;
        const QStringList messages =
            run(dlg, {step(Action::SetChecked, c.specified ? "Option1" : "Option2"),
                      step(Action::SetText, "Text1", c.text),
                      step(Action::SelectIndex, "List1", {}, 1), okClick()});
        const std::string what = c.text.toStdString() + (c.specified ? " specified" : " all");
        EXPECT_EQ(dlg.retCode, c.accepted ? 1 : 2) << what;
        if (c.accepted) {
            EXPECT_TRUE(messages.isEmpty()) << what;
            EXPECT_EQ(dlg.m_recMax, c.recMax) << what;
            EXPECT_EQ(dlg.m_selectName, QStringLiteral("Orders")) << what;
            EXPECT_EQ(dlg.m_selectType, 1) << what;
        } else {
            EXPECT_EQ(messages, QStringList({kCountMessage})) << what;
            EXPECT_TRUE(m_ui.dialogLeftOpen()) << what;
        }
        m_ui = ScriptedInteraction();
        setUserInteraction(&m_ui);
    }
}

TEST_F(DialogConfirmMDBTest, ChoosingTheObject) {
    struct Case {
        const char* what;
        std::vector<ScriptStep> steps;
        int retCode;
        int16_t selectType;
        QString selectName;
    };
    const std::vector<Case> cases = {
        {"OK at once", {okClick()}, 2, 0, {}},
        {"query line while tables are on",
         {step(Action::SelectIndex, "List2", {}, 0), okClick()},
         2,
         0,
         {}},
        {"queries on, no query line", {step(Action::SetChecked, "Option4"), okClick()}, 2, 0, {}},
        {"third query",
         {step(Action::SetChecked, "Option4"), step(Action::SelectIndex, "List2", {}, 2),
          okClick()},
         1,
         2,
         "qryC"},
        {"table line while queries are on is ignored",
         {step(Action::SelectIndex, "List1", {}, 0), step(Action::SetChecked, "Option4"),
          step(Action::SelectIndex, "List2", {}, 1), okClick()},
         1,
         2,
         "qryB"},
        {"non-ASCII table",
         {step(Action::SelectText, "List1", QStringLiteral("日本語")), okClick()},
         1,
         1,
         QStringLiteral("日本語")},
    };
    for (const Case& c : cases) {
        DialogConfirmMDB dlg;
        const QStringList messages = run(dlg, c.steps);
        EXPECT_EQ(dlg.retCode, c.retCode) << c.what;
        if (c.retCode == 1) {
            EXPECT_EQ(dlg.m_selectType, c.selectType) << c.what;
            EXPECT_EQ(dlg.m_selectName, c.selectName) << c.what;
            EXPECT_EQ(dlg.m_recMax, 0) << c.what;
        } else {
            EXPECT_EQ(messages, QStringList({kNothingSelected})) << c.what;
        }
        m_ui = ScriptedInteraction();
        setUserInteraction(&m_ui);
    }
}

TEST_F(DialogConfirmMDBTest, OnlyQueriesStillDefaultsToTables) {
    programState().TableNames.clear();
    DialogConfirmMDB dlg;
    const QStringList messages = run(dlg, {okClick(), okClick()});
    EXPECT_EQ(messages, QStringList({kNothingSelected, kNothingSelected}));
    EXPECT_EQ(dlg.retCode, 2);
}

TEST_F(DialogConfirmMDBTest, CancelAndClose) {
    {
        DialogConfirmMDB dlg;
        const QStringList messages = run(
            dlg, {step(Action::SelectIndex, "List1", {}, 0), step(Action::Click, "CancelButton")});
        EXPECT_EQ(messages,
                  QStringList({QStringLiteral("インフォメーション|キャンセルされました。")}));
        EXPECT_EQ(dlg.retCode, 2);
    }
    m_ui = ScriptedInteraction();
    setUserInteraction(&m_ui);
    {
        DialogConfirmMDB dlg;
        const QStringList messages = run(dlg, {step(Action::Close, "")});
        EXPECT_TRUE(messages.isEmpty());
        EXPECT_EQ(dlg.retCode, 2);
    }
}

}  // namespace
}  // namespace korvane
