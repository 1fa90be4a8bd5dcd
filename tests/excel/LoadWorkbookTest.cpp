// The Excel loader end to end on the designed workbooks: catalogue, dialog answers, panes and
// the failure messages.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "excel/ColumnLetters.h"
#include "excel/SheetCatalogue.h"
#include "excel/WorkbookLoader.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"
#include "support/TestFiles.h"

namespace korvane {
namespace {

QString testData(const char* name) {
    return testing::testDataFile(QLatin1String(name));
}

QString failureMessage(const QString& path) {
    return QStringLiteral("ファイル(") + path + QStringLiteral("）は処理できません。");
}

struct Answers {
    QString sheet;  // a line of List1
    QString col = "1", row = "1", cols = "20", rows = "20";
};

class LoadWorkbookTest : public ::testing::Test {
protected:
    void SetUp() override {
        setUserInteraction(&m_ui);
        InitProgramState();
        BuildColumnLetters();
        m_list.setChangeListener([this](ListPane::Change change) {
            m_refreshed = m_refreshed || change == ListPane::Change::Refreshed;
        });
    }
    void TearDown() override { setUserInteraction(nullptr); }

    void load(const QString& path, const Answers& answers) {
        m_ui.setDialogSteps("DialogConfirmXLS",
                            {{ScriptStep::Action::SelectText, "List1", answers.sheet, -1, true},
                             {ScriptStep::Action::SetText, "Text1", answers.col, -1, true},
                             {ScriptStep::Action::SetText, "Text2", answers.row, -1, true},
                             {ScriptStep::Action::SetText, "Text3", answers.cols, -1, true},
                             {ScriptStep::Action::SetText, "Text4", answers.rows, -1, true},
                             {ScriptStep::Action::Click, "OKButton", {}, -1, true}});
        LoadWorkbook(path, m_tree, m_list);
        ASSERT_FALSE(m_ui.scriptError()) << m_ui.scriptError().value_or(QString());
    }

    QStringList messages() const {
        QStringList out;
        for (const QStringList& record : m_ui.records()) {
            out << record.mid(1).join('|');
        }
        return out;
    }

    ScriptedInteraction m_ui;
    TreePane m_tree;
    ListPane m_list;
    bool m_refreshed = false;
};

TEST_F(LoadWorkbookTest, DefaultRangeOfSheet1) {
    programState().SheetNames = QStringList{"a", "b", "c", "d", "e"};
    load(testData("sample.xls"), {"Sheet1"});
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
    EXPECT_EQ(programState().SheetNames, QStringList({"Sheet1", QStringLiteral("日本語"), "Data"}));

    const auto& nodes = m_tree.nodes();
    ASSERT_EQ(nodes.size(), 4u);
    EXPECT_EQ(nodes[0].key, "Excel");
    EXPECT_EQ(nodes[0].text, "Excel");
    EXPECT_TRUE(nodes[0].bold);
    EXPECT_TRUE(nodes[0].expanded);
    EXPECT_EQ(nodes[2].text, QStringLiteral("日本語"));
    EXPECT_EQ(nodes[3].parent, 0);
    EXPECT_TRUE(nodes[3].key.isEmpty());

    QStringList headers{"rec"};
    for (char c = 'A'; c <= 'T'; ++c) {
        headers << QString(QLatin1Char(c));
    }
    EXPECT_EQ(m_list.columnHeaders(), headers);
    ASSERT_EQ(m_list.itemCount(), 20);
    for (int64_t i = 0; i < 20; ++i) {
        EXPECT_EQ(m_list.itemText(i), QStringLiteral(" %1").arg(i + 1));
        EXPECT_EQ(m_list.subItems(i).size(), 20);
    }
    EXPECT_EQ(m_list.subItems(0).first(), "r1c1");
    EXPECT_EQ(m_list.subItems(18).last(), "r19c20");
    const QStringList row20{
        "42",         "3.25",         "2024/02/29",  "2024/02/29 13:45:30",
        "True",       "False",        "84",          "",
        "",           "-0.5",         "12345678901", QStringLiteral("日本語テキスト"),
        "a,b",        "line1\nline2", "0.25",        "12:00:00",
        "say \"hi\"", " padded ",     "45.25",       "1"};
    EXPECT_EQ(m_list.subItems(19), row20);
    EXPECT_TRUE(m_refreshed);
}

TEST_F(LoadWorkbookTest, RangeAA100ToAC101) {
    load(testData("sample.xls"), {"Sheet1", "27", "100", "3", "2"});
    EXPECT_EQ(m_list.columnHeaders(), QStringList({"rec", "AA", "AB", "AC"}));
    ASSERT_EQ(m_list.itemCount(), 2);
    EXPECT_EQ(m_list.itemText(0), " 100");
    EXPECT_EQ(m_list.itemText(1), " 101");
    EXPECT_EQ(m_list.subItems(0), QStringList({"r100c27", "r100c28", "r100c29"}));
    EXPECT_EQ(m_list.subItems(1), QStringList({"r101c27", "r101c28", "r101c29"}));
}

TEST_F(LoadWorkbookTest, RowsFromTheSixteenBitLimitShowNormally) {
    load(testData("sample.xls"), {"Sheet1", "1", "32766", "1", "4"});
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
    ASSERT_EQ(m_list.itemCount(), 4);
    EXPECT_EQ(m_list.itemText(1), " 32767");
    EXPECT_EQ(m_list.itemText(3), " 32769");
    EXPECT_EQ(m_list.subItems(1), QStringList({"r32767c1"}));
    EXPECT_EQ(m_list.subItems(2), QStringList({"r32768c1"}));
    EXPECT_EQ(m_list.subItems(3), QStringList({""}));
}

TEST_F(LoadWorkbookTest, ErrorCellGivesTwoMessagesAndKeepsTheRowsRead) {
    const QString path = testData("sample.xls");
    load(path, {"Sheet1", "20", "1", "3", "2"});
    ASSERT_EQ(messages().size(), 2);
    EXPECT_EQ(messages()[0], failureMessage(path));
    EXPECT_TRUE(messages()[1].contains("#DIV/0!")) << messages()[1].toStdString();
    EXPECT_TRUE(messages()[1].contains("V1")) << messages()[1].toStdString();
    EXPECT_EQ(m_list.columnHeaders(), QStringList({"rec", "T", "U", "V"}));
    ASSERT_EQ(m_list.itemCount(), 1);
    EXPECT_EQ(m_list.subItems(0), QStringList({"r1c20", ""}));
    EXPECT_EQ(m_tree.nodes().size(), 4u);
    EXPECT_FALSE(m_refreshed);
}

TEST_F(LoadWorkbookTest, CatalogueFailureShowsExactlyOneMessage) {
    for (const char* name : {"notxls.xls", "truncated.xls", "missing.xls"}) {
        SCOPED_TRACE(name);
        ScriptedInteraction ui;
        setUserInteraction(&ui);
        programState().SheetNames = QStringList{"kept"};
        const QString path = testData(name);
        LoadWorkbook(path, m_tree, m_list);
        ASSERT_EQ(ui.records().size(), 1u);
        EXPECT_EQ(ui.records()[0], QStringList({"message", failureMessage(path)}));
        EXPECT_EQ(programState().SheetNames, QStringList({"kept"}));
        EXPECT_TRUE(m_tree.nodes().empty());
        EXPECT_EQ(m_list.columnHeaderCount(), 0);
    }
}

TEST_F(LoadWorkbookTest, WindowNameOfAFileWithoutExtensionTakesTheFailurePath) {
    QTemporaryDir dir;
    const QString path = dir.filePath("samplexls");  // no dot: the window name gets one
    ASSERT_TRUE(QFile::copy(testData("sample_biff5_sjis.xls"), path));
    EXPECT_EQ(WorkbookWindowName(path), "samplexls.");
    LoadWorkbook(path, m_tree, m_list);
    EXPECT_EQ(messages(), QStringList({failureMessage(path)}));
}

// On Linux only "/" separates folders: a backslash, a drive-like "C:" or a dot in a folder name
// belong to the names, and the workbook is found under the file's own name.
TEST_F(LoadWorkbookTest, FileNamesWithAnyCharacterLinuxAllows) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("my.dir"));
    const struct {
        const char* name;
        const char* windowName;
    } cases[] = {
        {"a\\b.xls", "a\\b.xls"},
        {"C:b.XLS", "C:b.XLS"},
        {"x\\y.z\\w.xls", "x\\y.z\\w.xls"},
        {"my.dir/plain.xls", "plain.xls"},
        {"日本語 'ブック\".xls", "日本語 'ブック\".xls"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromUtf8(c.name));
        ASSERT_TRUE(QFile::copy(testData("sample.xls"), path));
        EXPECT_EQ(WorkbookWindowName(path), QString::fromUtf8(c.windowName));
        m_tree.clear();
        m_list.clearColumnHeaders();
        m_list.clearListItems();
        load(path, {"Data", "1", "1", "2", "1"});
        EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
        ASSERT_EQ(m_tree.nodes().size(), 4u);
        EXPECT_EQ(m_tree.nodes()[0].text, "Excel");
        EXPECT_EQ(m_tree.nodes()[3].text, "Data");
        EXPECT_EQ(m_list.itemCount(), 1);
    }
}

TEST_F(LoadWorkbookTest, CancelAndCloseLeaveThePanesEmpty) {
    m_ui.setDialogSteps("DialogConfirmXLS",
                        {{ScriptStep::Action::Click, "CancelButton", {}, -1, true}});
    LoadWorkbook(testData("sample.xls"), m_tree, m_list);
    EXPECT_EQ(messages(),
              QStringList({QStringLiteral("インフォメーション|キャンセルされました。")}));
    m_ui.setDialogSteps("DialogConfirmXLS", {{ScriptStep::Action::Close, {}, {}, -1, true}});
    LoadWorkbook(testData("sample.xls"), m_tree, m_list);
    EXPECT_EQ(messages().size(), 1);
    EXPECT_TRUE(m_tree.nodes().empty());
    EXPECT_EQ(m_list.columnHeaderCount(), 0);
    EXPECT_EQ(m_list.itemCount(), 0);
}

TEST_F(LoadWorkbookTest, Excel95WorkbookInCodePage932) {
    load(testData("sample_biff5_sjis.xls"), {QStringLiteral("日本語"), "1", "1", "1", "3"});
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
    ASSERT_EQ(m_list.itemCount(), 3);
    EXPECT_EQ(m_list.subItems(0), QStringList({QStringLiteral("東京")}));
    EXPECT_EQ(m_list.subItems(2), QStringList({"100"}));
}

TEST_F(LoadWorkbookTest, Excel95CellKinds) {
    load(testData("sample_biff5_sjis.xls"), {"Sheet1", "1", "1", "5", "2"});
    ASSERT_EQ(m_list.itemCount(), 2);
    EXPECT_EQ(m_list.subItems(0), QStringList({QStringLiteral("日本語"), QStringLiteral("ｶﾀｶﾅ"),
                                               QStringLiteral("①"), QStringLiteral("～"), "a,b"}));
    EXPECT_EQ(m_list.subItems(1), QStringList({"42", "3.25", "2024/02/29", "True", "84"}));
}

}  // namespace
}  // namespace korvane
