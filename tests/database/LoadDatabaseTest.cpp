#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "database/LoadDatabase.h"
#include "shell/DialogParameter.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"
#include "support/TestFiles.h"

namespace korvane {
namespace {

using Action = ScriptStep::Action;
using testing::testDataFile;

ScriptStep step(Action action, const char* object, const QString& text = {}) {
    return ScriptStep{action, QLatin1String(object), text, -1, true};
}

std::vector<ScriptStep> chooseTable(const QString& name, const QString& count = {}) {
    std::vector<ScriptStep> steps;
    if (!count.isEmpty()) {
        steps.push_back(step(Action::SetChecked, "Option1"));
        steps.push_back(step(Action::SetText, "Text1", count));
    }
    steps.push_back(step(Action::SelectText, "List1", name));
    steps.push_back(step(Action::Click, "OKButton"));
    return steps;
}

std::vector<ScriptStep> chooseQuery(const QString& name) {
    return {step(Action::SetChecked, "Option4"), step(Action::SelectText, "List2", name),
            step(Action::Click, "OKButton")};
}

class LoadDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        setUserInteraction(&m_ui);
        InitProgramState();
    }
    void TearDown() override {
        qunsetenv("KORVANE_MDB_READER_FAULT");
        setUserInteraction(nullptr);
    }

    // A new script and empty panes, for the next case of a table.
    void startAfresh() {
        m_ui = ScriptedInteraction();
        m_tree.clear();
        m_list.clearColumnHeaders();
        m_list.clearListItems();
    }

    void load(const QString& path, std::vector<ScriptStep> steps) {
        m_ui.setDialogSteps(QStringLiteral("DialogConfirmMDB"), std::move(steps));
        LoadDatabase(path, m_tree, m_list);
        EXPECT_FALSE(m_ui.scriptError()) << m_ui.scriptError().value_or(QString()).toStdString();
    }
    QStringList messages() const {
        QStringList out;
        for (const QStringList& record : m_ui.records()) {
            out << record.mid(1).join(QLatin1Char('|'));
        }
        return out;
    }
    QStringList treeLines() const {
        QStringList out;
        for (int i : m_tree.displayOrder()) {
            const TreePane::Node& node = m_tree.nodes()[static_cast<size_t>(i)];
            out << (node.parent < 0 ? QString() : QStringLiteral("  ")) + node.text +
                       (node.bold ? QStringLiteral(" [bold]") : QString()) +
                       (node.expanded ? QStringLiteral(" [open]") : QString());
        }
        return out;
    }
    QStringList row(int64_t index) const {
        return QStringList({m_list.itemText(index)}) + m_list.subItems(index);
    }
    QString sample() const { return testDataFile(QStringLiteral("sample_jet4.mdb")); }

    ScriptedInteraction m_ui;
    TreePane m_tree;
    ListPane m_list;
};

TEST_F(LoadDatabaseTest, TableWithAllRecords) {
    load(sample(), chooseTable(QStringLiteral("Order Details")));
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
    const QStringList tree = treeLines();
    ASSERT_EQ(tree.size(), 2 + 8 + 10);
    EXPECT_EQ(tree[0], QStringLiteral("テーブル [bold] [open]"));
    EXPECT_EQ(tree[1], QStringLiteral("  Big"));
    EXPECT_EQ(tree[9], QStringLiteral("選択クエリー [bold] [open]"));
    EXPECT_EQ(m_list.columnHeaders(), QStringList({"rec", "OrderID", "CustomerID", "Amount"}));
    ASSERT_EQ(m_list.itemCount(), 5);
    EXPECT_EQ(row(0), QStringList({" 1", "1001", "1", "250"}));
    EXPECT_EQ(row(4), QStringList({" 5", "1005", "9", "33.3"}));
}

TEST_F(LoadDatabaseTest, RecordLimit) {
    struct Case {
        QString count;
        int64_t rows;
    };
    const Case cases[] = {{"2", 2}, {"10", 5}, {"5", 5}, {"1", 1}};
    for (const Case& c : cases) {
        m_tree.clear();
        m_list.clearColumnHeaders();
        m_list.clearListItems();
        load(sample(), chooseTable(QStringLiteral("Order Details"), c.count));
        EXPECT_EQ(m_list.itemCount(), c.rows) << c.count.toStdString();
        EXPECT_EQ(m_list.itemText(c.rows - 1), QStringLiteral(" %1").arg(c.rows));
    }
}

TEST_F(LoadDatabaseTest, NullCellsKeepTheirPlaces) {
    load(sample(), chooseTable(QStringLiteral("Customers")));
    ASSERT_EQ(m_list.itemCount(), 8);
    EXPECT_EQ(row(1), QStringList({" 2", "2", "", "大阪", "2002/02/28 13:45:30", "-250.75", "False",
                                   "line1\r\nline2"}));
    EXPECT_EQ(row(6)[3], "");
    EXPECT_EQ(row(6)[7], "  padded  ");
}

TEST_F(LoadDatabaseTest, EmptyTableShowsTreeButNoColumns) {
    load(sample(), chooseTable(QStringLiteral("Empty")));
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_FALSE(m_tree.nodes().empty());
    EXPECT_EQ(m_list.columnHeaderCount(), 0);
    EXPECT_EQ(m_list.itemCount(), 0);
}

TEST_F(LoadDatabaseTest, MoreThan32767Records) {
    load(sample(), chooseTable(QStringLiteral("Big")));
    ASSERT_EQ(m_list.itemCount(), 40000);
    EXPECT_EQ(row(32767), QStringList({" 32768", "32768", "row-32768", "16384"}));
    EXPECT_EQ(row(39999), QStringList({" 40000", "40000", "row-40000", "20000"}));
}

TEST_F(LoadDatabaseTest, MessagesBeforeTheDialogLeaveThePanesEmpty) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString text = dir.filePath(QStringLiteral("text.mdb"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("a,b\r\n");
    file.close();
    struct Case {
        QString path;
        QString message;
    };
    const QString empty = testDataFile(QStringLiteral("sample_jet4_empty.mdb"));
    const Case cases[] = {
        {text, "ファイル(" + text + ")を取り扱うことができません。"},
        {empty, "ファイル(" + empty + ")にはテーブルが含まれていません。"},
    };
    for (const Case& c : cases) {
        m_ui = ScriptedInteraction();
        load(c.path, chooseTable(QStringLiteral("x")));
        EXPECT_EQ(messages(), QStringList({c.message}));
        EXPECT_TRUE(m_tree.nodes().empty());
        EXPECT_EQ(m_list.columnHeaderCount(), 0);
    }
}

TEST_F(LoadDatabaseTest, CancelShowsNothingAndTheNextOpenStartsAfresh) {
    load(sample(), {step(Action::SetChecked, "Option1"), step(Action::SetText, "Text1", "3"),
                    step(Action::Click, "CancelButton")});
    EXPECT_EQ(messages(),
              QStringList({QStringLiteral("インフォメーション|キャンセルされました。")}));
    EXPECT_TRUE(m_tree.nodes().empty());
    EXPECT_EQ(m_list.itemCount(), 0);
    m_ui = ScriptedInteraction();
    // Defaults again: all records, so OK with a table line shows all five.
    load(sample(), chooseTable(QStringLiteral("Order Details")));
    EXPECT_EQ(m_list.itemCount(), 5);
}

TEST_F(LoadDatabaseTest, ReaderDeathAfterTheDialogKeepsTreeAndRows) {
    qputenv("KORVANE_MDB_READER_FAULT", "crash-row:Order Details:3");
    load(sample(), chooseTable(QStringLiteral("Order Details")));
    const QStringList shown = messages();
    ASSERT_EQ(shown.size(), 2) << shown.join('\n').toStdString();
    EXPECT_EQ(shown[0], "ファイル(" + sample() + ")を取り扱うことができません。");
    EXPECT_TRUE(shown[1].contains(QStringLiteral("異常終了"))) << shown[1].toStdString();
    EXPECT_FALSE(m_tree.nodes().empty());
    EXPECT_EQ(m_list.itemCount(), 2);
}

// One open of a database starts the reader once, for the catalogue (whichever provider opens
// it), the dialog and the rows of a query that joins saved queries.
TEST_F(LoadDatabaseTest, OneReaderStartPerOpen) {
    QTemporaryDir dir;
    const QString log = dir.filePath("starts");
    qputenv("KORVANE_READER_START_LOG", QFile::encodeName(log));
    const struct {
        const char* file;
        std::vector<ScriptStep> steps;
    } cases[] = {
        {"sales_jet4.mdb", chooseQuery(QStringLiteral("Large Orders"))},
        {"western_jet3.mdb", chooseTable(QStringLiteral("Table1"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        QFile::remove(log);
        load(testDataFile(QLatin1String(c.file)), c.steps);
        EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
        EXPECT_GT(m_list.itemCount(), 0);
        EXPECT_EQ(testing::fileBytes(log), QByteArray("korvane-mdb-reader\n"));
    }
    qunsetenv("KORVANE_READER_START_LOG");
}

// キャンセル in the progress window stops a query whether it is loading its tables or its rows
// are being shown: one notice, the tree stays filled and the rows already shown stay.
TEST_F(LoadDatabaseTest, CancelStopsAQueryAndKeepsWhatIsShown) {
    const struct {
        const char* name;
        bool onceRowsShow;  // else at the first question
    } cases[] = {{"while loading", false}, {"while showing", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        startAfresh();
        int questions = 0;
        m_ui.setProgressAnswer([&](double) {
            ++questions;
            return c.onceRowsShow && m_list.itemCount() == 0;
        });
        load(testDataFile(QStringLiteral("sales_jet4.mdb")),
             chooseQuery(QStringLiteral("Order Lines Full")));
        EXPECT_EQ(messages(), QStringList({QStringLiteral("キャンセルされました。")}));
        EXPECT_EQ(treeLines().size(), 2 + 7 + 12);
        if (c.onceRowsShow) {
            EXPECT_GT(m_list.itemCount(), 0);
            EXPECT_LT(m_list.itemCount(), 4935);
        } else {
            EXPECT_EQ(m_list.itemCount(), 0);
        }
        EXPECT_GT(questions, 0);
    }
}

TEST_F(LoadDatabaseTest, EveryDesignedSelectQueryShowsItsRows) {
    struct Case {
        QString name;
        QStringList headers;
        int64_t rows;
        QStringList firstRow;  // empty: not checked (order left to the engine)
    };
    const Case cases[] = {
        {"qryTokyo", {"rec", "ID", "Name", "City", "Joined", "Balance", "Active", "Notes"}, 3, {}},
        {"qryBigSum", {"rec", "N", "Total"}, 1, {" 1", "40000", "400010000"}},
        {"qryJoin", {"rec", "Name", "Amount"}, 4, {" 1", "", "1200.25"}},
        {"MSysQuery", {"rec", "Name"}, 8, {}},
        {"qryCityCount", {"rec", "City", "CountOfID"}, 5, {}},
        {"qryLike", {"rec", "ID", "Name"}, 3, {" 1", "1", "Alice"}},
        {"qryIIf", {"rec", "ID", "Kind", "NameOrDash"}, 8, {" 1", "1", "credit", "Alice"}},
        {"qryNested", {"rec", "ID", "Name"}, 3, {" 1", "8", "Eve"}},
        {"qryDate", {"rec", "ID", "Joined"}, 4, {" 1", "6", "2005/06/15 08:30:00"}},
        {QStringLiteral("東京の顧客"), {"rec", "ID", "Name"}, 3, {}},
    };
    for (const Case& c : cases) {
        startAfresh();
        load(sample(), chooseQuery(c.name));
        const QStringList shown = messages();
        if (!shown.isEmpty()) {
            // A query the engine cannot run: the two messages, nothing else.
            ADD_FAILURE() << c.name.toStdString() << ": " << shown.join(" / ").toStdString();
            continue;
        }
        EXPECT_EQ(m_list.columnHeaders(), c.headers) << c.name.toStdString();
        EXPECT_EQ(m_list.itemCount(), c.rows) << c.name.toStdString();
        if (!c.firstRow.isEmpty() && m_list.itemCount() > 0) {
            EXPECT_EQ(row(0), c.firstRow) << c.name.toStdString();
        }
    }
}

// The values of a parameter query are asked for in turn, each by the name the query writes;
// ｷｬﾝｾﾙ on any of them leaves the list empty with its notice and nothing else.
TEST_F(LoadDatabaseTest, ParameterQueryAsksForEachValueInTurn) {
    struct Case {
        const char* query;
        std::vector<std::pair<QString, QString>> answers;  // name asked, typed; "" cancels
        int rows;
        QStringList shown;
    };
    const Case cases[] = {
        {"Orders For Customer", {{"Forms!Customers!CustomerID", "AL000"}}, 18, {}},
        {"Orders In Period", {{"Start Date", "2024/01/01"}, {"End Date", "#1/31/2024#"}}, 42, {}},
        {"Orders In Period",
         {{"Start Date", "2024/01/01"}, {"End Date", ""}},
         0,
         {QStringLiteral("インフォメーション|キャンセルされました。")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        startAfresh();
        QStringList asked;
        setQueryValueAsker(AskQueryValueInDialog);  // as the program wires it
        m_ui.setDialogAnswerer(
            QStringLiteral("DialogParameter"),
            [&](QDialog& dialog) -> std::optional<std::vector<ScriptStep>> {
                const auto* asking = qobject_cast<const DialogParameter*>(&dialog);
                const QString name = asking ? asking->m_parameterName : QString();
                const auto& answer = c.answers.at(static_cast<size_t>(asked.size()));
                asked << name;
                if (answer.second.isEmpty()) {
                    return std::vector<ScriptStep>{step(Action::Click, "CancelButton")};
                }
                return std::vector<ScriptStep>{step(Action::SetText, "Text1", answer.second),
                                               step(Action::Click, "OKButton")};
            });
        load(testDataFile("sales_jet4.mdb"), chooseQuery(QString::fromUtf8(c.query)));
        QStringList expectedNames;
        for (const auto& answer : c.answers) {
            expectedNames << answer.first;
        }
        EXPECT_EQ(asked, expectedNames);
        EXPECT_EQ(m_list.itemCount(), c.rows);
        EXPECT_EQ(messages(), c.shown);
    }
    setQueryValueAsker({});
}

TEST_F(LoadDatabaseTest, EveryPeerTableAndQueryShowsOrSaysWhyTheQueryCannotRun) {
    KORVANE_FIXTURE(dir, "peer-mdb");
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.mdb")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        const QString path = dir + QLatin1Char('/') + file;
        InitProgramState();
        m_ui = ScriptedInteraction();
        load(path, {step(Action::Click, "CancelButton")});
        const QStringList tables = programState().TableNames;
        const QStringList queries = programState().QueryNames;
        struct Choice {
            QString name;
            bool query;
        };
        std::vector<Choice> choices;
        for (const QString& name : tables) {
            choices.push_back({name, false});
        }
        for (const QString& name : queries) {
            choices.push_back({name, true});
        }
        for (const Choice& choice : choices) {
            startAfresh();
            load(path, choice.query ? chooseQuery(choice.name) : chooseTable(choice.name));
            const QStringList shown = messages();
            const std::string what = (file + QLatin1Char(':') + choice.name).toStdString();
            if (!choice.query) {
                EXPECT_TRUE(shown.isEmpty()) << what << ": " << shown.join(" / ").toStdString();
            } else if (!shown.isEmpty()) {
                // A query that cannot run says why, once: the file itself opened fine.
                ASSERT_EQ(shown.size(), 1) << what << shown.join(" / ").toStdString();
                EXPECT_TRUE(shown[0].contains(choice.name)) << what << shown[0].toStdString();
            }
            EXPECT_FALSE(m_tree.nodes().empty()) << what;
        }
    }
}

TEST_F(LoadDatabaseTest, EveryCrasherEndsInAMessageWithinTenSeconds) {
    KORVANE_FIXTURE(dir, "crashers-mdb");
    const QStringList names = {
        "crash_jackcess_queryTestV1997_10.mdb",  "crash_jackcess_queryTestV1997_209.mdb",
        "crash_jackcess_queryTestV1997_300.mdb", "crash_jackcess_queryTestV2003_194.mdb",
        "hang_jackcess_queryTestV1997_116.mdb",  "hang_jackcess_queryTestV1997_126.mdb",
        "hang_jackcess_queryTestV1997_193.mdb",  "hang_jackcess_queryTestV1997_20.mdb",
        "hang_jackcess_queryTestV2003_99.mdb"};
    for (const QString& name : names) {
        startAfresh();
        QElapsedTimer clock;
        clock.start();
        // Whatever the catalogue holds, the first table line is chosen.
        load(dir + QLatin1Char('/') + name,
             {step(Action::SetChecked, "Option3"), ScriptStep{Action::SelectIndex, "List1", {}, 0},
              step(Action::Click, "OKButton")});
        EXPECT_LT(clock.elapsed(), 10000) << name.toStdString();
        // Whether libmdb stumbles depends on memory it should not read, so a file may also
        // come through readable; either way the load ends with something shown.
        EXPECT_TRUE(!m_ui.records().empty() || !m_tree.nodes().empty()) << name.toStdString();
    }
}

}  // namespace
}  // namespace korvane
