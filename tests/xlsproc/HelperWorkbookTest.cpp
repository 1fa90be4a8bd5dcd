// Workbooks served by the helper process: the same text as the in-process reader for every cell
// of the designed and peer workbooks, and the helper's death, silence or garbage as a message.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "excel/ColumnLetters.h"
#include "excel/WorkbookLoader.h"
#include "platform/process/ReaderProcess.h"
#include "platform/xls/HelperSpreadsheet.h"
#include "platform/xls/OleStream.h"
#include "platform/xls/XlsModel.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"
#include "support/TestFiles.h"

namespace korvane {
namespace {

using xls::SpreadsheetWorkbook;

QString testData(const char* name) {
    return testing::testDataFile(QLatin1String(name));
}

QString describe(const xls::Result<QString>& r) {
    return r ? QStringLiteral("text:") + r.value()
             : QStringLiteral("failure:") + r.failure().text();
}

// The rows and columns a sheet's cells reach, one past them, so the empty edge is compared too.
struct Extent {
    int64_t rows = 1;
    int64_t columns = 1;
};

std::vector<Extent> sheetExtents(const QString& path) {
    std::vector<Extent> extents;
    xls::Result<xls::WorkbookStream> stream = xls::readWorkbookStream(path);
    if (!stream) {
        return extents;
    }
    xls::Result<xls::WorkbookGlobals> globals =
        xls::parseGlobals(stream->bytes, stream->streamName);
    if (!globals) {
        return extents;
    }
    for (const xls::SheetEntry& entry : globals->sheets) {
        Extent extent;
        const xls::Result<xls::SheetCells> cells =
            xls::parseSheet(stream->bytes, globals.value(), entry);
        if (cells) {
            for (const xls::Cell& cell : cells->cells) {
                extent.rows = std::max<int64_t>(extent.rows, cell.key / 256 + 2);
                extent.columns = std::max<int64_t>(extent.columns, cell.key % 256 + 2);
            }
        }
        extent.rows = std::min(extent.rows, xls::kMaxRows);
        extent.columns = std::min(extent.columns, xls::kMaxColumns);
        extents.push_back(extent);
    }
    return extents;
}

// Every cell both readers give for the workbook, compared; the count of cells compared.
int64_t compareReaders(const QString& path) {
    auto local = xls::openInProcess(path);
    auto remote = xls::openInHelper(path);
    EXPECT_EQ(local.ok(), remote.ok());
    if (!local || !remote) {
        EXPECT_EQ(local.failure().text(), remote.failure().text());
        return 0;
    }
    SpreadsheetWorkbook& a = *local.value();
    SpreadsheetWorkbook& b = *remote.value();
    EXPECT_EQ(a.sheetCount(), b.sheetCount());
    const std::vector<Extent> extents = sheetExtents(path);
    int64_t compared = 0;
    for (int i = 1; i <= a.sheetCount() && i <= b.sheetCount(); ++i) {
        const QString name = a.sheetName(i).value();
        EXPECT_EQ(describe(a.sheetName(i)), describe(b.sheetName(i)));
        const Extent extent = i - 1 < static_cast<int>(extents.size()) ? extents[i - 1] : Extent{};
        // Keep a test run short: the first 20,000 rows of the widest sheets are plenty.
        const int64_t rows = std::min<int64_t>(extent.rows, 200000 / extent.columns + 1);
        for (int64_t row = 1; row <= rows; ++row) {
            for (int64_t column = 1; column <= extent.columns; ++column) {
                const QString expected = describe(a.cellText(name, row, column));
                const QString got = describe(b.cellText(name, row, column));
                if (expected != got) {
                    ADD_FAILURE() << name.toStdString() << " row " << row << " column " << column
                                  << ": " << expected.toStdString() << " vs " << got.toStdString();
                    return compared;
                }
                ++compared;
            }
        }
    }
    // Places that are no worksheet cells, a sheet that is not there, and a second name form.
    const QString first = a.sheetCount() > 0 ? a.sheetName(1).value() : QString("Sheet1");
    const struct {
        QString sheet;
        int64_t row, column;
    } odd[] = {{first, 0, 1},   {first, 1, 0},     {first, 65537, 1},       {first, 1, 257},
               {first, -5, -5}, {"no such", 1, 1}, {first.toUpper(), 1, 1}, {first, 65536, 256}};
    for (const auto& place : odd) {
        EXPECT_EQ(describe(a.cellText(place.sheet, place.row, place.column)),
                  describe(b.cellText(place.sheet, place.row, place.column)))
            << place.sheet.toStdString() << " " << place.row << " " << place.column;
    }
    a.quit();
    b.quit();
    EXPECT_EQ(describe(a.cellText(first, 1, 1)), describe(b.cellText(first, 1, 1)));
    EXPECT_EQ(a.sheetCount(), b.sheetCount());
    return compared;
}

TEST(HelperWorkbook, SameTextAsInProcessForTheDesignedWorkbooks) {
    for (const char* name :
         {"sample.xls", "sample_biff5_sjis.xls", "notxls.xls", "truncated.xls", "missing.xls"}) {
        SCOPED_TRACE(name);
        compareReaders(testData(name));
    }
}

TEST(HelperWorkbook, SameTextAsInProcessForThePeerWorkbooks) {
    KORVANE_FIXTURE(peers, "peer-xls");
    int64_t compared = 0;
    for (const QFileInfo& file : QDir(peers).entryInfoList(QDir::Files, QDir::Name)) {
        SCOPED_TRACE(file.fileName().toStdString());
        compared += compareReaders(file.filePath());
    }
    EXPECT_GT(compared, 0);
}

TEST(HelperWorkbook, CellsAskedOutOfOrderAndAcrossSheets) {
    auto local = xls::openInProcess(testData("sample.xls"));
    auto remote = xls::openInHelper(testData("sample.xls"));
    ASSERT_TRUE(local && remote);
    // Backwards, jumping past bands, widening the columns, and back to a sheet read before.
    const struct {
        const char* sheet;
        int64_t row, column;
    } places[] = {{"Sheet1", 300, 3},   {"Sheet1", 2, 1},    {"Sheet1", 299, 40},
                  {"Data", 1, 1},       {"Sheet1", 1, 20},   {"Sheet1", 32768, 1},
                  {"Sheet1", 32767, 1}, {"Sheet1", 100, 27}, {"Data", 2, 2},
                  {"Sheet1", 65536, 1}};
    for (const auto& p : places) {
        const QString sheet = QString::fromUtf8(p.sheet);
        EXPECT_EQ(describe(local.value()->cellText(sheet, p.row, p.column)),
                  describe(remote.value()->cellText(sheet, p.row, p.column)))
            << p.sheet << " " << p.row << " " << p.column;
    }
}

class HelperFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        setUserInteraction(&m_ui);
        InitProgramState();
        BuildColumnLetters();
        xls::setSpreadsheetOpener(xls::openInHelper);
        m_ui.setDialogSteps("DialogConfirmXLS",
                            {{ScriptStep::Action::SelectIndex, "List1", {}, 0, true},
                             {ScriptStep::Action::Click, "OKButton", {}, -1, true}});
    }
    void TearDown() override {
        qunsetenv("KORVANE_XLS_READER_FAULT");
        xls::setSpreadsheetOpener({});
        setUserInteraction(nullptr);
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
};

const QString kCrashed = QStringLiteral(
    "ブックを読み取る補助プログラムが異常終了しました。ファイルが壊れている可能性があります。");
const QString kStalled = QStringLiteral(
    "ブックの読み取りが3秒以上進まなかったため中止しました。ファイルが壊れている可能性があります"
    "。");
const QString kGarbled =
    QStringLiteral("ブックを読み取る補助プログラムから不正な応答がありました。");

TEST_F(HelperFaultTest, HelperFailingAtTheOpenIsTheOpensFailure) {
    const struct {
        const char* fault;
        QString description;
    } cases[] = {{"crash-open", kCrashed}, {"hang-open", kStalled}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        qputenv("KORVANE_XLS_READER_FAULT", c.fault);
        const auto opened = xls::GetObject(testData("sample.xls"));
        ASSERT_FALSE(opened);
        EXPECT_EQ(opened.failure().text(), c.description);
    }
    // Through the loader: the catalogue's one message, and the window's state untouched.
    qputenv("KORVANE_XLS_READER_FAULT", "crash-open");
    programState().SheetNames = QStringList{"kept"};
    const QString path = testData("sample.xls");
    LoadWorkbook(path, m_tree, m_list);
    EXPECT_EQ(messages(), QStringList({QStringLiteral("ファイル(") + path +
                                       QStringLiteral("）は処理できません。")}));
    EXPECT_EQ(programState().SheetNames, QStringList({"kept"}));
}

TEST_F(HelperFaultTest, HelperFailingOnCellsIsTheLoadersMessage) {
    const struct {
        const char* fault;
        QString description;
    } cases[] = {{"crash-cells", kCrashed}, {"garble-cells", kGarbled}};
    const QString path = testData("sample.xls");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        ScriptedInteraction ui;
        ui.setDialogSteps("DialogConfirmXLS",
                          {{ScriptStep::Action::SelectIndex, "List1", {}, 0, true},
                           {ScriptStep::Action::Click, "OKButton", {}, -1, true}});
        setUserInteraction(&ui);
        TreePane tree;
        ListPane list;
        qputenv("KORVANE_XLS_READER_FAULT", c.fault);
        LoadWorkbook(path, tree, list);
        std::vector<QStringList> expected{{"message", QStringLiteral("ファイル(") + path +
                                                          QStringLiteral("）は処理できません。")},
                                          {"message", c.description}};
        EXPECT_EQ(ui.records(), expected);
        // The row begun before the failure stays, as with any failing cell.
        EXPECT_EQ(list.itemCount(), 1);
    }
}

// The reader helpers that are children of this process right now.
int runningReaders() {
    int count = 0;
    const QString parent = QString::number(QCoreApplication::applicationPid());
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat("/proc/" + pid + "/stat");
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // "pid (comm) state ppid ...": the name may hold spaces, so read from its ")".
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const QList<QByteArray> rest = line.mid(close + 2).split(' ');
        count += line.contains("(korvane-xls-rea") && rest.size() > 1 && rest[1] == parent;
    }
    return count;
}

// One open reads the workbook once: the helper starts once for the catalogue, the dialog and
// the cells, and is gone when the open has ended, however it ended.
TEST_F(HelperFaultTest, OneHelperPerOpenEndingWithIt) {
    QTemporaryDir dir;
    const QString log = dir.filePath("starts");
    qputenv("KORVANE_READER_START_LOG", QFile::encodeName(log));
    const struct {
        const char* name;
        std::vector<ScriptStep> steps;
        int messages;
    } cases[] = {
        {"shown",
         {{ScriptStep::Action::SelectText, "List1", "Data", -1, true},
          {ScriptStep::Action::SetText, "Text4", "5000", -1, true},
          {ScriptStep::Action::Click, "OKButton", {}, -1, true}},
         0},
        {"error cell",
         {{ScriptStep::Action::SelectText, "List1", "Sheet1", -1, true},
          {ScriptStep::Action::SetText, "Text1", "22", -1, true},
          {ScriptStep::Action::Click, "OKButton", {}, -1, true}},
         2},
        {"cancelled", {{ScriptStep::Action::Click, "CancelButton", {}, -1, true}}, 1},
        {"closed", {{ScriptStep::Action::Close, {}, {}, -1, true}}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(log);
        ScriptedInteraction ui;
        ui.setDialogSteps("DialogConfirmXLS", c.steps);
        setUserInteraction(&ui);
        TreePane tree;
        ListPane list;
        LoadWorkbook(testData("sample.xls"), tree, list);
        EXPECT_EQ(static_cast<int>(ui.records().size()), c.messages)
            << (ui.records().empty() ? QString() : ui.records()[0].join("|")).toStdString();
        QFile starts(log);
        ASSERT_TRUE(starts.open(QIODevice::ReadOnly));
        EXPECT_EQ(starts.readAll(), "korvane-xls-reader\n");
        EXPECT_EQ(runningReaders(), 0);
    }
    qunsetenv("KORVANE_READER_START_LOG");
}

TEST_F(HelperFaultTest, AfterAFailureEveryCellFailsTheSameWay) {
    qputenv("KORVANE_XLS_READER_FAULT", "crash-cells");
    auto opened = xls::GetObject(testData("sample.xls"));
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened.value()->sheetCount(), 3);
    EXPECT_EQ(opened.value()->cellText("Sheet1", 1, 1).failure().text(), kCrashed);
    EXPECT_EQ(opened.value()->cellText("Sheet1", 500, 9).failure().text(), kCrashed);
    opened.value()->quit();  // nothing left to end: no hang, no crash
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

TEST(ReaderProcess, AMissingHelperIsNamedAndEveryLaterReadFailsTheSameWay) {
    static const FailureTable<ReaderFault> texts{
        {ReaderFault::NotFound, "補助プログラム(%1)が見つかりません。"}};
    ReaderProcess reader(QStringLiteral("korvane-no-such-reader"), texts, QByteArray(1, 'Q'));
    const QString expected =
        QStringLiteral("補助プログラム(korvane-no-such-reader)が見つかりません。");
    const Status started = reader.start();
    ASSERT_FALSE(started);
    EXPECT_TRUE(started.failure().is(ReaderFault::NotFound));
    EXPECT_EQ(started.failure().text(), expected);
    EXPECT_FALSE(reader.running());
    EXPECT_FALSE(reader.send(QByteArray(1, 'Q')));
    const auto frame = reader.readFrame();
    ASSERT_FALSE(frame);
    EXPECT_EQ(frame.failure().text(), expected);
}

}  // namespace
}  // namespace korvane
