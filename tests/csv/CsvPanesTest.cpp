// What the loader puts into the panes for each choice of the display-range dialog.
#include "csv/CsvPanes.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <algorithm>

#include "CsvTestFiles.h"
#include "shell/ListPane.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"
#include "text/Numbers.h"

namespace korvane {
namespace {

std::shared_ptr<const CsvLines> LinesOf(const QByteArray& bytes) {
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    return scanCsvLines(std::make_shared<TextFileReader>(std::move(buffer))).lines;
}

QStringList Row(const ListPane& list, int64_t row) {
    QStringList texts = list.subItems(row);
    texts.prepend(list.itemText(row));
    return texts;
}

class CsvPanes : public ::testing::Test {
protected:
    void SetUp() override { setUserInteraction(&m_ui); }
    void TearDown() override { setUserInteraction(nullptr); }

    void show(const QByteArray& bytes, CsvChoice choice,
              const QString& path = QStringLiteral("/data/sales.csv")) {
        const auto lines = LinesOf(bytes);
        if (choice.itemCount < 0) {
            choice.itemCount = lines->maxFieldCount();
        }
        ShowCsvLines(path, lines, choice, m_tree, m_list);
    }

    ScriptedInteraction m_ui;
    TreePane m_tree;
    ListPane m_list;
};

const QByteArray kFiveLines = "id,name\r\n1,a\r\n2,b,extra\r\n3\r\n4,d\r\n";

TEST_F(CsvPanes, TitleLineGivesTheHeadersAndRowsCountFromTheSecondLine) {
    show(kFiveLines, {5, -1, true});
    EXPECT_EQ(m_list.columnHeaders(), QStringList({"rec", "id", "name"}));
    ASSERT_EQ(m_list.itemCount(), 4);
    const QStringList expected[] = {
        {" 1", "1", "a"}, {" 2", "2", "b"}, {" 3", "3"}, {" 4", "4", "d"}};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(Row(m_list, r), expected[r]) << r;
    }
}

TEST_F(CsvPanes, WithoutTitlesTheWidestLineNamesTheColumns) {
    show(kFiveLines, {5, -1, false});
    EXPECT_EQ(m_list.columnHeaders(), QStringList({"rec", "item- 1", "item- 2", "item- 3"}));
    ASSERT_EQ(m_list.itemCount(), 5);
    EXPECT_EQ(Row(m_list, 0), QStringList({" 1", "id", "name"}));
    EXPECT_EQ(Row(m_list, 2), QStringList({" 3", "2", "b", "extra"}));
}

TEST_F(CsvPanes, CountsOfLinesAndTitles) {
    struct Case {
        const char* name;
        QByteArray bytes;
        CsvChoice choice;
        QStringList headers;
        int64_t rows;
    };
    const Case cases[] = {
        {"only the title line chosen", kFiveLines, {1, -1, true}, {"rec", "id", "name"}, 0},
        {"title of 3 fields cuts data of 5",
         "a,b,c\r\n1,2,3,4,5\r\n",
         {2, -1, true},
         {"rec", "a", "b", "c"},
         1},
        {"all lines empty", "\r\n\r\n\r\n", {3, -1, false}, {}, 3},
        {"empty title line", "\r\nx,y\r\n", {2, -1, true}, {}, 1},
        {"20 of 1000 lines",
         NumberedLines(1000, 2),
         {20, -1, false},
         {"rec", "item- 1", "item- 2"},
         20},
        {"20 of 1000 lines with titles",
         NumberedLines(1000, 2),
         {20, -1, true},
         {"rec", "line 1", "line 1"},
         19},
    };
    for (const Case& c : cases) {
        m_list.clearColumnHeaders();
        m_list.clearListItems();
        show(c.bytes, c.choice);
        EXPECT_EQ(m_list.columnHeaders(), c.headers) << c.name;
        EXPECT_EQ(m_list.itemCount(), c.rows) << c.name;
    }
    // The rows hold exactly their own lines, nothing of the lines after them.
    EXPECT_EQ(Row(m_list, 18), QStringList({" 19", "line 20", "line 20"}));
    EXPECT_TRUE(m_list.subItems(19).isEmpty());
}

TEST_F(CsvPanes, DataWiderThanTheTitleIsCut) {
    show("a,b,c\r\n1,2,3,4,5\r\n", {2, -1, true});
    EXPECT_EQ(Row(m_list, 0), QStringList({" 1", "1", "2", "3"}));
}

TEST_F(CsvPanes, EmptyLinesShowNumbersOnly) {
    show("\r\n\r\n", {2, -1, false});
    EXPECT_EQ(Row(m_list, 1), QStringList({" 2"}));
}

TEST_F(CsvPanes, FileNodeNamesTheFile) {
    const std::pair<QString, QString> cases[] = {
        {"/data/notes.txt", "notes.txt"},
        {"/data/reportcsv", "reportcsv."},  // no extension: the dot still stands
        {"C:\\data\\SALES.CSV", "SALES.CSV"},
        {"/data.old/sales", "data.old/sales"},
    };
    for (const auto& [path, text] : cases) {
        show("a\r\n", {1, -1, false}, path);
        ASSERT_EQ(m_tree.nodes().size(), 1u) << path;
        const TreePane::Node& node = m_tree.nodes()[0];
        EXPECT_EQ(node.key, QStringLiteral("CSVファイル"));
        EXPECT_EQ(node.text, text) << path;
        EXPECT_FALSE(node.bold);
        EXPECT_FALSE(node.expanded);
    }
}

TEST_F(CsvPanes, NoLinesChosenShowsTheNoRecordsMessage) {
    show("", {0, 0, false}, QStringLiteral("/data/empty.csv"));
    ASSERT_EQ(m_ui.records().size(), 1u);
    EXPECT_EQ(m_ui.records()[0],
              QStringList({"message",
                           QStringLiteral("ファイル(/data/empty.csv)にはレコードがありません。")}));
    EXPECT_TRUE(m_tree.nodes().empty());
    EXPECT_EQ(m_list.columnHeaderCount(), 0);
    EXPECT_EQ(m_list.itemCount(), 0);
}

TEST_F(CsvPanes, RefreshesOnceAtTheEnd) {
    int refreshes = 0;
    m_list.setChangeListener([&refreshes](ListPane::Change change) {
        refreshes += change == ListPane::Change::Refreshed ? 1 : 0;
    });
    show(kFiveLines, {5, -1, false});
    EXPECT_EQ(refreshes, 1);
}

// The rows show the file as it was loaded, whatever happens to it afterwards. A file replaced by
// a new one or appended to keeps showing the loaded lines; a file changed or cut short where it
// stands is noticed when the next rows are read: the rows shown before stay, the others show
// nothing (not even their numbers), and the message comes once.
TEST_F(CsvPanes, RowsStayWhatWasLoaded) {
    enum class Change { Replace, Append, Rewrite, Truncate };
    const int kLines = 30000;  // many blocks: most rows are read after the change
    const QByteArray original = NumberedLines(kLines, 3);
    QByteArray rewritten = original;
    rewritten.replace("line", "LINE");
    for (const Change change :
         {Change::Replace, Change::Append, Change::Rewrite, Change::Truncate}) {
        SCOPED_TRACE(static_cast<int>(change));
        CsvTestFiles files;
        const QString path = files.write(QStringLiteral("data.csv"), original);
        m_ui = ScriptedInteraction();
        const CsvScan scan = scanCsvLines(TextFileReader::openFile(path));
        ASSERT_TRUE(scan.lines);
        ShowCsvLines(path, scan.lines, {kLines, 3, false}, m_tree, m_list);
        const auto expected = [](int64_t row) {
            const QString field = QStringLiteral("line %1").arg(row + 1);
            return QStringList{NumberText(row + 1), field, field, field};
        };
        // Screens shown all over the first half: more blocks than one screen needs.
        std::vector<int64_t> shown;
        for (int64_t top = 0; top < kLines / 2; top += 1500) {
            for (int64_t row = top; row < top + 10; ++row) {
                ASSERT_EQ(Row(m_list, row), expected(row));
                shown.push_back(row);
            }
        }

        QFile file(path);
        switch (change) {
            case Change::Replace:
                files.write(QStringLiteral("new.csv"), rewritten);
                ASSERT_TRUE(QFile::remove(path));
                ASSERT_TRUE(QFile::rename(files.path(QStringLiteral("new.csv")), path));
                break;
            case Change::Append:
                ASSERT_TRUE(file.open(QIODevice::Append));
                file.write("more,lines\r\nand,more");
                break;
            case Change::Rewrite:
                ASSERT_TRUE(file.open(QIODevice::ReadWrite));
                file.write(rewritten);
                break;
            case Change::Truncate:
                ASSERT_TRUE(file.resize(original.size() / 2));
                break;
        }
        file.close();

        const bool changedInPlace = change == Change::Rewrite || change == Change::Truncate;
        int64_t blank = 0;
        int64_t firstBlank = kLines;
        for (int64_t row = 0; row < kLines; ++row) {
            const QStringList texts = Row(m_list, row);
            if (changedInPlace && texts == QStringList{QString()}) {
                firstBlank = std::min(firstBlank, row);
                ++blank;
                continue;
            }
            ASSERT_EQ(texts, expected(row)) << row;
        }
        // Every row shown before the change, and those read last before it was noticed, still
        // show what was loaded.
        for (int64_t row = std::max<int64_t>(0, firstBlank - 10); row < firstBlank; ++row) {
            shown.push_back(row);
        }
        for (const int64_t row : shown) {
            EXPECT_EQ(Row(m_list, row), expected(row)) << row;
        }
        EXPECT_EQ(m_list.itemCount(), kLines);
        if (changedInPlace) {
            EXPECT_GT(blank, kLines / 3);
            EXPECT_EQ(
                m_ui.records(),
                (std::vector<QStringList>{{QStringLiteral("message"), FileChangedMessage(path)}}));
            EXPECT_EQ(
                FileChangedMessage(path),
                QStringLiteral("ファイル(") + path +
                    QStringLiteral(")は読み込んだ後に変更されました。もう一度開いてください。"));
        } else {
            EXPECT_TRUE(m_ui.records().empty());
        }
    }
}

}  // namespace
}  // namespace korvane
