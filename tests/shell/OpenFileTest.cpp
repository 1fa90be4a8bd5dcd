#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"

namespace korvane {
namespace {

class OpenFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        setUserInteraction(&m_ui);
        InitProgramState();
        for (FileType t : {kFileCsv, kFileExcel, kFileDatabase}) {
            setLoader(t, [this, t](const QString& path, TreePane& tree, ListPane& list) {
                m_calls.append(QStringLiteral("%1:%2").arg(t).arg(path));
                // The panes reach the loader empty.
                EXPECT_TRUE(tree.nodes().empty());
                EXPECT_EQ(list.columnHeaderCount(), 0);
                EXPECT_EQ(list.itemCount(), 0);
            });
        }
        // Something from an earlier file, which a failed open must leave alone.
        m_tree.addRoot(QStringLiteral("k"), QStringLiteral("earlier"));
        m_list.addColumnHeader(QStringLiteral("rec"));
        m_list.addListItem(u" 1");
    }
    void TearDown() override {
        for (FileType t : {kFileCsv, kFileExcel, kFileDatabase}) {
            setLoader(t, {});
        }
        setUserInteraction(nullptr);
    }

    QString makeFile(const QString& name) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("a,b\r\n");
        return path;
    }

    void expectEarlierContentKept() {
        ASSERT_EQ(m_tree.nodes().size(), 1u);
        EXPECT_EQ(m_list.itemCount(), 1);
    }

    QTemporaryDir m_dir;
    ScriptedInteraction m_ui;
    TreePane m_tree;
    ListPane m_list;
    QStringList m_calls;
};

TEST_F(OpenFileTest, MissingFileGivesTheNotFoundMessageOnly) {
    const QString path = m_dir.filePath(QStringLiteral("none.xlsx"));
    OpenFile(path, m_tree, m_list);
    ASSERT_EQ(m_ui.records().size(), 1u);
    EXPECT_EQ(m_ui.records()[0], QStringList({"message", QStringLiteral("ファイル(") + path +
                                                             QStringLiteral(")がありません。")}));
    EXPECT_EQ(programState().CurrentFileType, kFileNone);
    EXPECT_TRUE(m_calls.isEmpty());
    expectEarlierContentKept();
}

TEST_F(OpenFileTest, DirectoriesAndHiddenFilesCountAsAbsent) {
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.csv"));
    const QString hidden = makeFile(QStringLiteral(".hidden.csv"));
    for (const QString& path : {m_dir.filePath(QStringLiteral("folder.csv")), hidden}) {
        OpenFile(path, m_tree, m_list);
        ASSERT_FALSE(m_ui.records().empty());
        EXPECT_TRUE(m_ui.records().back()[1].endsWith(QStringLiteral(")がありません。"))) << path;
    }
    EXPECT_TRUE(m_calls.isEmpty());
    expectEarlierContentKept();
}

TEST_F(OpenFileTest, LinkToAnOrdinaryFileCountsAsPresent) {
    const QString target = makeFile(QStringLiteral("target.csv"));
    const QString link = m_dir.filePath(QStringLiteral("link.csv"));
    ASSERT_TRUE(QFile::link(target, link));
    OpenFile(link, m_tree, m_list);
    EXPECT_EQ(m_calls, QStringList({QStringLiteral("1:") + link}));
}

TEST_F(OpenFileTest, UnsupportedTypeKeepsStateAndPanes) {
    programState().CurrentFileType = kFileDatabase;
    OpenFile(makeFile(QStringLiteral("book.xlsx")), m_tree, m_list);
    ASSERT_EQ(m_ui.records().size(), 1u);
    EXPECT_EQ(m_ui.records()[0][1],
              QStringLiteral("ファイルタイプがCSV、XLS、MDBのいずれでもありません。"));
    EXPECT_EQ(programState().CurrentFileType, kFileDatabase);
    expectEarlierContentKept();
}

TEST_F(OpenFileTest, DispatchesEachTypeToItsLoaderAfterEmptyingThePanes) {
    struct Case {
        const char* name;
        FileType type;
        const char* loader;
    };
    const Case cases[] = {
        {"a.csv", kFileCsv, "1"},
        {"b.TXT", kFileTxt, "1"},  // text files go to the CSV loader
        {"c.xls", kFileExcel, "2"},
        {"d.mdb", kFileDatabase, "3"},
    };
    for (const Case& c : cases) {
        m_calls.clear();
        const QString path = makeFile(QString::fromUtf8(c.name));
        OpenFile(path, m_tree, m_list);
        EXPECT_EQ(programState().CurrentFileType, c.type) << c.name;
        EXPECT_EQ(m_calls, QStringList({QString::fromUtf8(c.loader) + QLatin1Char(':') + path}));
    }
    EXPECT_TRUE(m_ui.records().empty());
}

TEST_F(OpenFileTest, CatalogueNamesSurviveOpeningAnotherKind) {
    programState().TableNames = QStringList({QStringLiteral("Customers")});
    OpenFile(makeFile(QStringLiteral("x.csv")), m_tree, m_list);
    EXPECT_EQ(programState().CurrentFileType, kFileCsv);
    EXPECT_EQ(programState().TableNames, QStringList({QStringLiteral("Customers")}));
}

}  // namespace
}  // namespace korvane
