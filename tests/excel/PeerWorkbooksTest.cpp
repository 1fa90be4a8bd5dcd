// Workbooks made by Excel and other writers, some damaged: each shows its first sheet's default
// range or reports the failure messages. Read from the shared fixtures, never copied here.
#include <gtest/gtest.h>

#include <QDir>

#include "excel/ColumnLetters.h"
#include "excel/WorkbookLoader.h"
#include "platform/xls/XlsWorkbook.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"
#include "support/TestFiles.h"

namespace korvane {
namespace {

QDir peerFolder() {
    return QDir(testing::fixtureFile(QStringLiteral("peer-xls")));
}

TEST(PeerWorkbooks, EachShowsItsFirstSheetOrReportsTheFailure) {
    KORVANE_FIXTURE(peers, "peer-xls");
    BuildColumnLetters();
    int shown = 0;
    for (const QFileInfo& file : peerFolder().entryInfoList(QDir::Files, QDir::Name)) {
        SCOPED_TRACE(file.fileName().toStdString());
        ScriptedInteraction ui;
        setUserInteraction(&ui);
        ui.setDialogSteps("DialogConfirmXLS",
                          {{ScriptStep::Action::SelectIndex, "List1", {}, 0, true},
                           {ScriptStep::Action::Click, "OKButton", {}, -1, true}});
        InitProgramState();
        TreePane tree;
        ListPane list;
        LoadWorkbook(file.filePath(), tree, list);
        const auto& records = ui.records();
        const QString fixed =
            QStringLiteral("ファイル(") + file.filePath() + QStringLiteral("）は処理できません。");
        if (records.empty()) {
            ++shown;
            EXPECT_EQ(list.itemCount(), 20);
            EXPECT_EQ(list.columnHeaderCount(), 21);
            EXPECT_EQ(list.subItems(19).size(), 20);
            EXPECT_EQ(tree.nodes().size(), 1u + programState().SheetNames.size());
        } else {
            ASSERT_LE(records.size(), 2u);
            EXPECT_EQ(records[0], QStringList({"message", fixed}));
            if (records.size() == 2) {
                EXPECT_FALSE(records[1].value(1).isEmpty());
            }
        }
    }
    setUserInteraction(nullptr);
    EXPECT_GE(shown, 20);
}

struct PeerFact {
    const char* file;
    int sheet;  // 0-based
    int64_t row;
    int64_t column;
    const char* text;  // empty: the workbook does not open
};

TEST(PeerWorkbooks, KnownCells) {
    KORVANE_FIXTURE(peers, "peer-xls");
    const PeerFact facts[] = {
        {"calamine_sst_continue.xls", 0, 134, 1,
         "This is a long string with a serial number at the end 0134"},
        {"calamine_sst_continue.xls", 0, 135, 1, "This is a long string with a serial num"},
        {"calamine_sst_continue.xls", 0, 136, 1, "New CONTINUE block"},
        {"poi_12561-1.xls", 0, 4, 4, "ログイン(画面)"},
        {"poi_12561-1.xls", 0, 4, 7, "川本\n古城"},
        {"poi_12561-2.xls", 0, 3, 5, "○"},
        {"poi_12843-1.xls", 0, 1, 1, "中華電信網路容量及使用現況雙週報表"},
        {"poi_testEXCEL_95.xls", 0, 4, 5, "Formatted"},
        {"sheetjs_1904_1900.xls", 0, 3, 2, "1900/04/20"},
        {"sheetjs_1904_1904.xls", 0, 1, 2, "1904/01/02"},
        {"sheetjs_phonetic_text.xls", 0, 1, 1, "漢字"},
        {"sheetjs_sushi.xls", 0, 1, 1, "🍣"},
        {"sheetjs_formula_stress_test.xls", 0, 2, 2, "11.666666666666666"},
        {"sheetjs_formula_stress_test.xls", 1, 2, 2, "2013/06/09"},
        {"sheetjs_formula_stress_test.xls", 5, 2, 2, "False"},
        {"sheetjs_formula_stress_test.xls", 9, 2, 2, "Foobarbazqux"},
        {"sheetjs_biff5_numfmt_1_russian.xls", 0, 2, 2, "1234567,89"},
        {"sheetjs_sheet_visibility.xls", 2, 2, 1, ""},
        {"xlrd_Formate.xls", 1, 3, 3, "MERGED CELLS"},
        {"exceldatareader_Test_git_issue_231_NoCodePage.xls", 0, 2, 2, "MAMMA OGGI CUCINO IO!"},
        {"exceldatareader_TestUnicodeChars.xls", 0, 3, 3, "ةةلك"},
    };
    for (const PeerFact& fact : facts) {
        SCOPED_TRACE(std::string(fact.file) + " " + std::to_string(fact.row) + "," +
                     std::to_string(fact.column));
        auto workbook = xls::XlsWorkbook::open(peerFolder().filePath(fact.file));
        ASSERT_TRUE(workbook) << workbook.failure().text();
        const xls::Result<QString> text =
            workbook.value()->cellText(fact.sheet, fact.row, fact.column);
        ASSERT_TRUE(text) << text.failure().text();
        if (*fact.text != '\0') {
            EXPECT_EQ(text.value(), QString::fromUtf8(fact.text));
        }
    }
}

TEST(PeerWorkbooks, SheetListsAndRefusals) {
    KORVANE_FIXTURE(peers, "peer-xls");
    const auto names = [](const char* file) {
        QStringList out;
        auto workbook = xls::XlsWorkbook::open(peerFolder().filePath(file));
        for (int i = 0; workbook && i < workbook.value()->sheetCount(); ++i) {
            out << workbook.value()->sheet(i).name;
        }
        return out;
    };
    EXPECT_EQ(names("sheetjs_sheet_visibility.xls"),
              QStringList({"Visible", "Hidden", "VeryHidden"}));
    // 23 worksheets and 17 chart sheets between them, as Excel's Sheets lists them.
    const QStringList chinese = names("poi_12843-1.xls");
    ASSERT_EQ(chinese.size(), 40);
    EXPECT_EQ(chinese.at(6), QStringLiteral("POTS-表"));
    EXPECT_EQ(chinese.at(7), QStringLiteral("POTS-圖"));
    EXPECT_EQ(chinese.at(39), QStringLiteral("MARI-圖"));
    EXPECT_EQ(names("xlrd_Formate.xls"),
              QStringList({QStringLiteral("Blätt1"), QStringLiteral("ÖÄÜ"),
                           QStringLiteral("Blätt3"), "Formate"}));
    EXPECT_EQ(names("sheetjs_defined_names_unicode.xls").at(4), QStringLiteral("sheet日本語sheet"));

    const std::pair<const char*, const char*> refused[] = {
        {"sheetjs_password_2002_40_xor.xls", "パスワードで保護"},
        {"sheetjs_CRLFX5_4.XLS", "BIFF4"},
        {"calamine_too_small.xls", "Excel のブック(.xls)ではありません"},
        {"poi_clusterfuzz-6537773940867072.xls", "壊れています"},
    };
    for (const auto& [file, description] : refused) {
        auto workbook = xls::XlsWorkbook::open(peerFolder().filePath(file));
        ASSERT_FALSE(workbook) << file;
        EXPECT_TRUE(workbook.failure().text().contains(description)) << workbook.failure().text();
    }
    auto errors = xls::XlsWorkbook::open(peerFolder().filePath("sheetjs_ErrorTypes.xls"));
    ASSERT_TRUE(errors);
    const char* const errorNames[] = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!",
                                      "#NAME?", "#NUM!",   "#N/A"};
    for (int row = 2; row <= 8; ++row) {
        const xls::Result<QString> cell = errors.value()->cellText(0, row, 1);
        ASSERT_FALSE(cell) << row;
        EXPECT_TRUE(cell.failure().text().contains(errorNames[row - 2])) << cell.failure().text();
    }
    EXPECT_EQ(errors.value()->cellText(0, 9, 1).value(), "#WTF");
    EXPECT_EQ(errors.value()->cellText(0, 2, 5).value(), "1");
}

}  // namespace
}  // namespace korvane
