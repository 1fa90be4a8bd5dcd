#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "database/DatabaseCatalogue.h"
#include "export/ConvertCommand.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "support/TestFiles.h"

namespace korvane {
namespace {

using testing::fileBytes;
using testing::testDataFile;

const QString kNotDatabase =
    QStringLiteral("このメニューはMDBファイルの内容をCSVへ出力するためのものです。");
const QString kDone = QStringLiteral("box|Korvane|出力されました。");

class ConvertCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        setUserInteraction(&m_ui);
        InitProgramState();
        setExportTargetChooser([this]() -> std::optional<ExportTarget> {
            ++m_asked;
            return m_target;
        });
    }
    void TearDown() override {
        setExportTargetChooser({});
        setUserInteraction(nullptr);
    }

    // Each record with the state of the wait pointer when it was shown: "box|...|wait".
    QStringList m_records;
    ScriptedInteraction m_ui{[this](const QStringList& record) {
        m_records << record.join(QLatin1Char('|')) +
                         (m_ui.waitCursor() ? QStringLiteral("|wait") : QString());
    }};
    std::optional<ExportTarget> m_target;
    int m_asked = 0;
};

TEST_F(ConvertCommandTest, OnlyADatabaseOpenedLastIsOffered) {
    for (const FileType type : {kFileNone, kFileCsv, kFileExcel, kFileTxt}) {
        m_records.clear();
        programState().CurrentFileType = type;
        programState().TableNames = QStringList{QStringLiteral("T")};
        EXPECT_FALSE(ConvertCommand());
        EXPECT_EQ(m_records, QStringList{"message|" + kNotDatabase}) << type;
    }
    EXPECT_EQ(m_asked, 0);
}

TEST_F(ConvertCommandTest, CancelledDialogWritesNothingAndSaysNothing) {
    programState().CurrentFileType = kFileDatabase;
    EXPECT_FALSE(ConvertCommand());
    EXPECT_EQ(m_asked, 1);
    EXPECT_TRUE(m_records.isEmpty());
    EXPECT_FALSE(m_ui.waitCursor());
}

struct ConvertCase {
    const char* name;
    const char* source;
    bool isTitle;
    QByteArray expected;
};

class ConvertCommandExportTest : public ConvertCommandTest,
                                 public ::testing::WithParamInterface<ConvertCase> {};

TEST_P(ConvertCommandExportTest, WritesTheFileThenShowsTheNoticeUnderTheWaitPointer) {
    const QString db = testDataFile(QStringLiteral("sample_jet4.mdb"));
    ASSERT_TRUE(ReadDatabaseCatalogue(db));
    programState().CurrentFileType = kFileDatabase;
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    m_target = ExportTarget{out, QString::fromUtf8(GetParam().source), GetParam().isTitle};
    EXPECT_TRUE(ConvertCommand());
    EXPECT_EQ(m_records, QStringList{kDone + QStringLiteral("|wait")});
    EXPECT_FALSE(m_ui.waitCursor());
    EXPECT_EQ(fileBytes(out), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertCommandExportTest,
    ::testing::Values(
        ConvertCase{"TableWithHeader", "Order Details", true,
                    "OrderID,CustomerID,Amount\r\n1001,1,250\r\n1002,1,75.5\r\n1003,2,1200.25\r\n"
                    "1004,4,10\r\n1005,9,33.3\r\n"},
        ConvertCase{"EmptyTableStillReportsDone", "Empty", true, ""},
        ConvertCase{"NonAsciiTable", "日本語", true,
                    QStringLiteral("番号,名前\r\n1,りんご\r\n2,みかん\r\n").toUtf8()}),
    [](const ::testing::TestParamInfo<ConvertCase>& tested) {
        return std::string(tested.param.name);
    });

TEST_F(ConvertCommandTest, DatabaseGoneShowsTheCauseAndNoNotice) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("gone.mdb"));
    programState().CurrentFileType = kFileDatabase;
    programState().DatabaseConnectionString =
        QStringLiteral(
            "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=") +
        missing;
    m_target = ExportTarget{dir.filePath(QStringLiteral("out.csv")), QStringLiteral("T"), false};
    EXPECT_FALSE(ConvertCommand());
    ASSERT_EQ(m_records.size(), 1);
    EXPECT_TRUE(m_records[0].startsWith(QStringLiteral("message|データベース(") + missing +
                                        QStringLiteral(")を開くことができません。")))
        << m_records[0].toStdString();
    EXPECT_FALSE(m_records[0].endsWith(QStringLiteral("|wait")));
    EXPECT_FALSE(m_ui.waitCursor());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.csv"))));
}

}  // namespace
}  // namespace korvane
