// Opening CSV and TXT files end to end: the open dispatch, the dialog answered by script, the
// panes as a view would read them.
#include "csv/LoadTextFile.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringDecoder>

#include "CsvTestFiles.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"

namespace korvane {
namespace {

using Action = ScriptStep::Action;

class LoadTextFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        setUserInteraction(&m_ui);
        InitProgramState();
        setLoader(kFileCsv, LoadTextFile);
    }
    void TearDown() override {
        setLoader(kFileCsv, {});
        setUserInteraction(nullptr);
    }

    void open(const QString& name, const QByteArray& bytes, bool titles = false) {
        std::vector<ScriptStep> steps = {{Action::Click, QStringLiteral("Option2"), {}, -1, true}};
        if (titles) {
            steps.push_back({Action::Click, QStringLiteral("Check1"), {}, -1, true});
        }
        steps.push_back({Action::Click, QStringLiteral("OKButton"), {}, -1, true});
        m_ui.setDialogSteps(QStringLiteral("DialogConfirmCSV"), steps);
        OpenFile(m_files.write(name, bytes), m_tree, m_list);
    }

    QStringList row(int64_t r) const {
        QStringList texts = m_list.subItems(r);
        texts.prepend(m_list.itemText(r));
        return texts;
    }

    ScriptedInteraction m_ui;
    CsvTestFiles m_files;
    TreePane m_tree;
    ListPane m_list;
};

TEST_F(LoadTextFileTest, JapaneseTextInEitherEncodingShowsTheSame) {
    const QString text = QStringLiteral("品名,数量\r\nりんご,３\r\n\"東京,大阪\",①～\r\n");
    QStringEncoder toShiftJis("Shift_JIS");
    const QByteArray shiftJis = toShiftJis.encode(text);
    ASSERT_FALSE(toShiftJis.hasError());
    for (const auto& [name, bytes] :
         {std::pair<QString, QByteArray>{"utf8.csv", text.toUtf8()}, {"sjis.csv", shiftJis}}) {
        open(name, bytes, true);
        EXPECT_EQ(m_list.columnHeaders(), QStringList({"rec", "品名", "数量"})) << name;
        ASSERT_EQ(m_list.itemCount(), 2) << name;
        EXPECT_EQ(row(0), QStringList({" 1", "りんご", "３"})) << name;
        EXPECT_EQ(row(1), QStringList({" 2", "東京,大阪", "①～"})) << name;
    }
}

TEST_F(LoadTextFileTest, LineEndsDecideTheRows) {
    struct Case {
        const char* name;
        QByteArray bytes;
        std::vector<QStringList> rows;
    };
    const Case cases[] = {
        {"lf only", "a,b\nc\nd,e,f\n", {{" 1", "a", "b"}, {" 2", "c"}, {" 3", "d", "e", "f"}}},
        {"lone lf kept in its row", "a,\"x\ny\"\r\nb\r\n", {{" 1", "a", "x\ny"}, {" 2", "b"}}},
        {"cr only", "a\rb", {{" 1", "a"}, {" 2", "b"}}},
        {"byte order mark", "\xEF\xBB\xBFid\r\n", {{" 1", "id"}}},
    };
    for (const Case& c : cases) {
        open(QStringLiteral("t.txt"), c.bytes);
        ASSERT_EQ(m_list.itemCount(), static_cast<int64_t>(c.rows.size())) << c.name;
        for (size_t r = 0; r < c.rows.size(); ++r) {
            EXPECT_EQ(row(static_cast<int64_t>(r)), c.rows[r]) << c.name;
        }
    }
    EXPECT_EQ(programState().CurrentFileType, kFileTxt);
}

TEST_F(LoadTextFileTest, HundredThousandLinesAreCountedAndShownWhole) {
    open(QStringLiteral("big.csv"), NumberedLines(100000, 3));
    ASSERT_EQ(m_list.itemCount(), 100000);
    EXPECT_EQ(m_list.columnHeaderCount(), 4);
    for (int64_t r : {int64_t{0}, int64_t{32767}, int64_t{32768}, int64_t{65536}, int64_t{99999}}) {
        const QString number = QString::number(r + 1);
        EXPECT_EQ(row(r), QStringList({" " + number, "line " + number, "line " + number,
                                       "line " + number}));
    }
}

TEST_F(LoadTextFileTest, CancelledOrStoppedOpenLeavesThePanesEmpty) {
    const QString path = m_files.write(QStringLiteral("c.csv"), NumberedLines(3));
    m_ui.setDialogSteps(QStringLiteral("DialogConfirmCSV"),
                        {{Action::Click, QStringLiteral("CancelButton"), {}, -1, true}});
    OpenFile(path, m_tree, m_list);
    EXPECT_TRUE(m_tree.nodes().empty());
    EXPECT_EQ(m_list.itemCount(), 0);
    EXPECT_EQ(m_ui.records().size(), 1u);  // the cancel notice

    m_ui = ScriptedInteraction();
    m_ui.setCancelProgress(true);
    OpenFile(path, m_tree, m_list);
    EXPECT_TRUE(m_tree.nodes().empty());
    EXPECT_EQ(m_list.itemCount(), 0);
    EXPECT_TRUE(m_ui.records().empty());
}

TEST_F(LoadTextFileTest, CommandLineShowPrintsTreeHeadersAndRows) {
    const QString cli = testing::binFile(QStringLiteral("korvane-cli"));
    if (!QFile::exists(cli)) {
        GTEST_SKIP() << "korvane-cli not built";
    }
    const QString path =
        m_files.write(QStringLiteral("sample.csv"), "name,qty\r\n\"a,b\",1\r\nc\r\n");
    QProcess process;
    process.start(
        cli, {QStringLiteral("show"), QStringLiteral("--title"), QStringLiteral("--all"), path});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()),
              QStringLiteral("filetype\t1\n"
                             "tree\t0\tCSVファイル\tsample.csv\t-\n"
                             "columns\trec\tname\tqty\n"
                             "row\t 1\ta,b\t1\n"
                             "row\t 2\tc\n"));
}

}  // namespace
}  // namespace korvane
