#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "export/DialogSelectOutputTable.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"

namespace korvane {
namespace {

using Action = ScriptStep::Action;

const QString kNoFile = QStringLiteral("出力のファイル名が指定されていません。");
const QString kNoTable = QStringLiteral("テーブルが選択されていません。");

ScriptStep step(Action action, const char* object, const QString& text = {}, int index = -1,
                bool checked = true) {
    return ScriptStep{action, QLatin1String(object), text, index, checked};
}

class DialogSelectOutputTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        setUserInteraction(&m_ui);
        InitProgramState();
        programState().TableNames = QStringList({"Customers", "Big", "Customers", "日本語"});
        programState().QueryNames = QStringList({"qryTokyo", "東京の顧客"});
    }
    void TearDown() override { setUserInteraction(nullptr); }

    // Runs a new dialog with the steps; the records (messages and boxes) it left.
    QStringList run(DialogSelectOutputTable& dlg, std::vector<ScriptStep> steps) {
        m_ui.setDialogSteps(QStringLiteral("DialogSelectOutputTable"), std::move(steps));
        m_ui.runModal(dlg);
        EXPECT_FALSE(m_ui.scriptError()) << m_ui.scriptError().value_or(QString()).toStdString();
        QStringList records;
        for (const QStringList& record : m_ui.records()) {
            records << record.join(QLatin1Char('|'));
        }
        return records;
    }

    ScriptedInteraction m_ui;
};

TEST_F(DialogSelectOutputTableTest, LoadShowsTheCataloguesUnsortedWithNothingChosen) {
    DialogSelectOutputTable dlg;
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("出力対象の確認"));
    EXPECT_EQ(dlg.retCode, 2);
    auto* list1 = dlg.findChild<QListWidget*>(QStringLiteral("List1"));
    auto* list2 = dlg.findChild<QListWidget*>(QStringLiteral("List2"));
    ASSERT_EQ(list1->count(), 4);
    EXPECT_EQ(list1->item(1)->text(), QStringLiteral("Big"));
    EXPECT_EQ(list1->item(3)->text(), QStringLiteral("日本語"));
    ASSERT_EQ(list2->count(), 2);
    EXPECT_TRUE(list1->selectedItems().isEmpty());
    EXPECT_TRUE(list2->selectedItems().isEmpty());
    EXPECT_TRUE(dlg.findChild<QRadioButton*>(QStringLiteral("Option3"))->isChecked());
    EXPECT_FALSE(dlg.findChild<QCheckBox*>(QStringLiteral("Check1"))->isChecked());
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("Label2"))->text(), QString());
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("Label2"))->parentWidget(),
              dlg.findChild<QGroupBox*>(QStringLiteral("Frame1")));
    EXPECT_EQ(dlg.findChild<QPushButton*>(QStringLiteral("CancelButton"))->text(),
              QStringLiteral("ｷｬﾝｾﾙ"));
    dlg.close();
}

TEST_F(DialogSelectOutputTableTest, TabOrderRunsFromOkToTheCheckBox) {
    DialogSelectOutputTable dlg;
    const char* order[] = {"OKButton", "CancelButton", "Command1", "List2",
                           "Option4",  "Option3",      "List1",    "Check1"};
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget* from = dlg.findChild<QWidget*>(QLatin1String(order[i]));
        ASSERT_NE(from, nullptr) << order[i];
        QWidget* next = from->nextInFocusChain();
        while (next != from && !(next->focusPolicy() & Qt::TabFocus)) {
            next = next->nextInFocusChain();
        }
        EXPECT_EQ(next->objectName(), QLatin1String(order[i + 1])) << "after " << order[i];
    }
}

TEST_F(DialogSelectOutputTableTest, SaveDialogAsksWithTheProgramsFolderAndNoName) {
    m_ui.queueSaveFileName(QStringLiteral("/tmp/out"));
    DialogSelectOutputTable dlg;
    run(dlg, {step(Action::Click, "Command1"), step(Action::Close, "OKButton")});
    ASSERT_EQ(m_ui.fileDialogRequests().size(), 1u);
    const FileDialogRequest& request = m_ui.fileDialogRequests().front();
    EXPECT_EQ(request.title, QStringLiteral("ファイル名の指定"));
    EXPECT_EQ(request.filters, QStringList{QStringLiteral("テキストファイル (*.csv)")});
    EXPECT_EQ(request.folder, QCoreApplication::applicationDirPath());
    EXPECT_EQ(request.fileName, QString());
    // Taken as typed: no extension added; shown in the label and its tool tip.
    auto* label2 = dlg.findChild<QLabel*>(QStringLiteral("Label2"));
    EXPECT_EQ(label2->text(), QStringLiteral("/tmp/out"));
    EXPECT_EQ(label2->toolTip(), QStringLiteral("/tmp/out"));
    EXPECT_EQ(dlg.retCode, 2);
}

TEST_F(DialogSelectOutputTableTest, CancelledSaveDialogKeepsTheEarlierPath) {
    const QString longPath = QStringLiteral("/tmp/") + QString(300, QLatin1Char('a')) + ".csv";
    m_ui.queueSaveFileName(longPath);
    DialogSelectOutputTable dlg;
    // The second browse finds no queued answer: cancelled.
    run(dlg, {step(Action::Click, "Command1"), step(Action::Click, "Command1"),
              step(Action::SelectIndex, "List1", {}, 0), step(Action::Click, "OKButton")});
    EXPECT_EQ(dlg.retCode, 1);
    EXPECT_EQ(dlg.m_outputFilename, longPath);
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("Label2"))->toolTip(), longPath);
}

struct OkCase {
    const char* name;
    bool chooseFile;
    std::vector<ScriptStep> steps;  // before OK
    QStringList expectedRecords;
    int expectedRetCode;
    QString expectedTable;
    bool expectedTitle;
};

class DialogSelectOutputTableOkTest : public DialogSelectOutputTableTest,
                                      public ::testing::WithParamInterface<OkCase> {};

TEST_P(DialogSelectOutputTableOkTest, ChecksInOrderAndHandsBackTheChoice) {
    const OkCase& c = GetParam();
    std::vector<ScriptStep> steps;
    if (c.chooseFile) {
        m_ui.queueSaveFileName(QStringLiteral("/tmp/out.csv"));
        steps.push_back(step(Action::Click, "Command1"));
    }
    steps.insert(steps.end(), c.steps.begin(), c.steps.end());
    steps.push_back(step(Action::Click, "OKButton"));
    steps.push_back(step(Action::Close, "OKButton"));  // closes a dialog a failed OK left open
    DialogSelectOutputTable dlg;
    EXPECT_EQ(run(dlg, steps), c.expectedRecords);
    EXPECT_EQ(dlg.retCode, c.expectedRetCode);
    if (c.expectedRetCode == 1) {
        EXPECT_EQ(dlg.m_outputFilename, QStringLiteral("/tmp/out.csv"));
        EXPECT_EQ(dlg.m_selectTable, c.expectedTable);
        EXPECT_EQ(dlg.m_isTitle, c.expectedTitle);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogSelectOutputTableOkTest,
    ::testing::Values(
        OkCase{"OkAtOnceAsksForTheFileFirst", false, {}, {"message|" + kNoFile}, 2, {}, false},
        OkCase{"FileCheckComesBeforeTheTableCheck",
               false,
               {step(Action::SelectIndex, "List1", {}, 1)},
               {"message|" + kNoFile},
               2,
               {},
               false},
        OkCase{"TableOnButOnlyAQueryLineChosen",
               true,
               {step(Action::SelectIndex, "List2", {}, 0)},
               {"message|" + kNoTable},
               2,
               {},
               false},
        OkCase{"QueryOnAndNoQueryLine",
               true,
               {step(Action::SelectIndex, "List1", {}, 0), step(Action::Click, "Option4")},
               {"message|" + kNoTable},
               2,
               {},
               false},
        OkCase{"TableByPositionAmongDuplicates",
               true,
               {step(Action::SelectIndex, "List1", {}, 2)},
               {},
               1,
               QStringLiteral("Customers"),
               false},
        OkCase{"QueryWithTitle",
               true,
               {step(Action::Click, "Option4"), step(Action::SelectText, "List2", "東京の顧客"),
                step(Action::SetChecked, "Check1")},
               {},
               1,
               QStringLiteral("東京の顧客"),
               true},
        OkCase{
            "ChoosingALineDoesNotSwitchTheOption",
            true,
            {step(Action::SelectIndex, "List1", {}, 3), step(Action::SelectIndex, "List2", {}, 1)},
            {},
            1,
            QStringLiteral("日本語"),
            false},
        OkCase{"CancelShowsItsBox",
               true,
               {step(Action::SelectIndex, "List1", {}, 0), step(Action::Click, "CancelButton")},
               {QStringLiteral("box|インフォメーション|キャンセルされました。")},
               2,
               {},
               false}),
    [](const ::testing::TestParamInfo<OkCase>& tested) { return std::string(tested.param.name); });

TEST_F(DialogSelectOutputTableTest, CloseCommandCancelsSilently) {
    DialogSelectOutputTable dlg;
    EXPECT_TRUE(run(dlg, {step(Action::Close, "OKButton")}).isEmpty());
    EXPECT_EQ(dlg.retCode, 2);
}

TEST_F(DialogSelectOutputTableTest, AskExportTargetReadsTheFields) {
    m_ui.queueSaveFileName(QStringLiteral("/tmp/t.csv"));
    m_ui.setDialogSteps(QStringLiteral("DialogSelectOutputTable"),
                        {step(Action::Click, "Command1"), step(Action::SelectText, "List1", "Big"),
                         step(Action::SetChecked, "Check1"), step(Action::Click, "OKButton")});
    const std::optional<ExportTarget> target = AskExportTarget();
    ASSERT_TRUE(target);
    EXPECT_EQ(target->outputFilename, QStringLiteral("/tmp/t.csv"));
    EXPECT_EQ(target->selectTable, QStringLiteral("Big"));
    EXPECT_TRUE(target->isTitle);

    m_ui.setDialogSteps(QStringLiteral("DialogSelectOutputTable"),
                        {step(Action::Click, "CancelButton")});
    EXPECT_FALSE(AskExportTarget());
}

}  // namespace
}  // namespace korvane
