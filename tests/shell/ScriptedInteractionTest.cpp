#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/ScriptedInteraction.h"

namespace korvane {
namespace {

// A dialog shaped like the program's own: OK stays open with a message when the box is empty.
class SampleDialog : public QDialog {
public:
    explicit SampleDialog(ScriptedInteraction& ui) {
        setObjectName(QStringLiteral("SampleDialog"));
        auto* layout = new QVBoxLayout(this);
        text1 = new QLineEdit(this);
        text1->setObjectName(QStringLiteral("Text1"));
        check1 = new QCheckBox(this);
        check1->setObjectName(QStringLiteral("Check1"));
        list1 = new QListWidget(this);
        list1->setObjectName(QStringLiteral("List1"));
        list1->addItems({QStringLiteral("Sheet1"), QStringLiteral("Sheet2")});
        auto* ok = new QPushButton(QStringLiteral("OK"), this);
        ok->setObjectName(QStringLiteral("OKButton"));
        auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
        cancel->setObjectName(QStringLiteral("CancelButton"));
        for (QWidget* w : {static_cast<QWidget*>(text1), static_cast<QWidget*>(check1),
                           static_cast<QWidget*>(list1), static_cast<QWidget*>(ok),
                           static_cast<QWidget*>(cancel)}) {
            layout->addWidget(w);
        }
        connect(ok, &QPushButton::clicked, this, [this, &ui] {
            if (text1->text().isEmpty()) {
                ui.showMessage(QStringLiteral("empty"), true);
                return;
            }
            retCode = 1;
            close();
        });
        connect(cancel, &QPushButton::clicked, this, [this, &ui] {
            ui.messageBox(QStringLiteral("インフォメーション"),
                          QStringLiteral("キャンセルされました。"));
            close();
        });
    }
    int retCode = 2;
    QLineEdit* text1;
    QCheckBox* check1;
    QListWidget* list1;
};

using Action = ScriptStep::Action;

TEST(ScriptedInteraction, AnswersADialogAsAPersonWould) {
    ScriptedInteraction ui;
    ui.setDialogSteps(
        QStringLiteral("SampleDialog"),
        {{Action::SetText, QStringLiteral("Text1"), QStringLiteral("12abc"), -1, true},
         {Action::SetChecked, QStringLiteral("Check1"), {}, -1, true},
         {Action::SelectText, QStringLiteral("List1"), QStringLiteral("Sheet2"), -1, true},
         {Action::Click, QStringLiteral("OKButton"), {}, -1, true}});
    SampleDialog dialog(ui);
    ui.runModal(dialog);
    EXPECT_EQ(dialog.retCode, 1);
    EXPECT_EQ(dialog.text1->text(), QStringLiteral("12abc"));
    EXPECT_TRUE(dialog.check1->isChecked());
    EXPECT_EQ(dialog.list1->currentRow(), 1);
    EXPECT_FALSE(ui.dialogLeftOpen());
    EXPECT_FALSE(ui.scriptError());
}

TEST(ScriptedInteraction, ADialogLeftOpenIsClosedAndReported) {
    ScriptedInteraction ui;
    SampleDialog dialog(ui);  // no steps: OK is pressed with an empty box
    ui.runModal(dialog);
    EXPECT_EQ(dialog.retCode, 2);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(ui.dialogLeftOpen());
    ASSERT_EQ(ui.records().size(), 1u);
    EXPECT_EQ(ui.records()[0], QStringList({"message", "empty"}));
}

TEST(ScriptedInteraction, AnAnswerNamingAMissingLineIsAScriptError) {
    const ScriptStep steps[] = {
        {Action::SelectText, QStringLiteral("List1"), QStringLiteral("Sheet9"), -1, true},
        {Action::SelectIndex, QStringLiteral("List1"), {}, 2, true},
        {Action::SelectIndex, QStringLiteral("List1"), {}, -1, true},
        {Action::Click, QStringLiteral("NoSuchButton"), {}, -1, true},
    };
    for (const ScriptStep& step : steps) {
        ScriptedInteraction ui;
        ui.setDialogSteps(QStringLiteral("SampleDialog"), {step});
        SampleDialog dialog(ui);
        ui.runModal(dialog);
        EXPECT_TRUE(ui.scriptError().has_value()) << step.object.toStdString() << step.index;
        EXPECT_FALSE(ui.dialogLeftOpen());
        EXPECT_EQ(dialog.retCode, 2);
    }
}

TEST(ScriptedInteraction, CancelRecordsTheMessageBox) {
    QStringList printed;
    ScriptedInteraction ui([&](const QStringList& r) { printed.append(r.join(u'|')); });
    ui.setDialogSteps(QStringLiteral("SampleDialog"),
                      {{Action::Click, QStringLiteral("CancelButton"), {}, -1, true}});
    SampleDialog dialog(ui);
    ui.runModal(dialog);
    EXPECT_EQ(printed, QStringList({"box|インフォメーション|キャンセルされました。"}));
}

}  // namespace
}  // namespace korvane
