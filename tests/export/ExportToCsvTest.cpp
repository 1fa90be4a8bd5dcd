#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FakeRowSource.h"
#include "export/ExportFile.h"
#include "export/ExportTexts.h"
#include "export/ExportToCsv.h"
#include "support/TestFailure.h"

namespace korvane {
namespace {

using testing::messageOf;

using testing::fakeOpener;
using testing::FakeTable;
using testing::integerValue;
using testing::nullValue;
using testing::testFailure;
using testing::textValue;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

DbValue valueOf(DbValue::Kind kind, int64_t integer, double real = 0, const QString& text = {}) {
    DbValue value;
    value.kind = kind;
    value.integer = integer;
    value.real = real;
    value.text = text;
    return value;
}

struct LayoutCase {
    const char* name;
    FakeTable table;
    bool isTitle;
    QByteArray expected;
};

class ExportLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ExportLayoutTest, WritesTheExpectedBytes) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const LayoutCase& c = GetParam();
    const std::optional<QString> failure =
        messageOf(ExportToCsv(out, QStringLiteral("T"), c.isTitle,
                              QStringLiteral("Data Source=/nowhere.mdb"), fakeOpener(c.table)));
    ASSERT_FALSE(failure) << failure->toStdString();
    EXPECT_EQ(readAll(out), c.expected);
}

const QStringList kIdName{QStringLiteral("ID"), QStringLiteral("Name")};

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportLayoutTest,
    ::testing::Values(
        LayoutCase{
            "IdNameWithNullAndHeader",
            {kIdName, {{integerValue(1), textValue("Tokyo")}, {integerValue(2), nullValue()}}},
            true,
            "ID,Name\r\n1,Tokyo\r\n2,\r\n"},
        LayoutCase{"NoHeaderUnlessAsked",
                   {kIdName, {{integerValue(1), textValue("Tokyo")}}},
                   false,
                   "1,Tokyo\r\n"},
        LayoutCase{"CommaEnclosed",
                   {kIdName, {{integerValue(1), textValue("a,b")}}},
                   false,
                   "1,\"a,b\"\r\n"},
        LayoutCase{"CrLfKeptInsideQuotes",
                   {kIdName, {{integerValue(2), textValue("line1\r\nline2")}}},
                   false,
                   "2,\"line1\r\nline2\"\r\n"},
        LayoutCase{"LoneLfEnclosedSoReadersKeepTheRecord",
                   {kIdName, {{integerValue(3), textValue("lf1\nlf2")}}},
                   false,
                   "3,\"lf1\nlf2\"\r\n"},
        LayoutCase{"LoneCrEnclosed",
                   {kIdName, {{integerValue(3), textValue("cr1\rcr2")}}},
                   false,
                   "3,\"cr1\rcr2\"\r\n"},
        LayoutCase{"QuoteDoubledInsideQuotes",
                   {kIdName, {{integerValue(4), textValue("say \"hi\"")}}},
                   false,
                   "4,\"say \"\"hi\"\"\"\r\n"},
        LayoutCase{"ColumnNameWithComma",
                   {{QStringLiteral("a,b"), QStringLiteral("c")},
                    {{textValue("x,y"), integerValue(1)}, {textValue("plain"), integerValue(2)}}},
                   true,
                   "\"a,b\",c\r\n\"x,y\",1\r\nplain,2\r\n"},
        LayoutCase{
            "EmptyStringAndNullBothNothing",
            {{"A", "B", "C", "D"}, {{integerValue(1), textValue(""), nullValue(), textValue("z")}}},
            false,
            "1,,,z\r\n"},
        LayoutCase{"AllNullRowKeepsItsSeparators",
                   {{"A", "B", "C"}, {{nullValue(), nullValue(), nullValue()}}},
                   false,
                   ",,\r\n"},
        LayoutCase{"EmptySourceWithHeaderAskedGivesEmptyFile", {kIdName, {}}, true, ""},
        LayoutCase{"BlanksAndTabsKeptUnenclosed",
                   {kIdName, {{textValue("  padded  "), textValue("tab\there")}}},
                   false,
                   "  padded  ,tab\there\r\n"},
        LayoutCase{"JapaneseNamesAndValuesInUtf8",
                   {{QStringLiteral("番号"), QStringLiteral("名前")},
                    {{integerValue(1), textValue(QStringLiteral("りんご"))}}},
                   true,
                   QStringLiteral("番号,名前\r\n1,りんご\r\n").toUtf8()},
        LayoutCase{"ValueKindsInTheirTextForms",
                   {{"Int", "Real", "Cur", "Date", "Bool", "Guid"},
                    {{valueOf(DbValue::Kind::Integer, -250), valueOf(DbValue::Kind::Real, 0, 0.1),
                      valueOf(DbValue::Kind::Currency, 12345000),
                      valueOf(DbValue::Kind::DateTime, 0, 37315.573263888889),
                      valueOf(DbValue::Kind::Boolean, 1),
                      valueOf(DbValue::Kind::Guid, 0, 0,
                              QStringLiteral("{6A5E4A2B-1C3D-4E5F-8A9B-0C1D2E3F4A5B}"))}}},
                   false,
                   "-250,0.1,1234.5,2002/02/28 13:45:30,True,"
                   "{6A5E4A2B-1C3D-4E5F-8A9B-0C1D2E3F4A5B}\r\n"}),
    [](const ::testing::TestParamInfo<LayoutCase>& tested) {
        return std::string(tested.param.name);
    });

TEST(ExportToCsvTest, SecondExportToOnePathLeavesOnlyItsOwnLines) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("twice.csv"));
    FakeTable longer{kIdName,
                     {{integerValue(1), textValue("a")},
                      {integerValue(2), textValue("b")},
                      {integerValue(3), textValue("c")}}};
    FakeTable shorter{kIdName, {{integerValue(9), textValue("z")}}};
    ASSERT_FALSE(messageOf(ExportToCsv(out, "T", false, "Data Source=/x.mdb", fakeOpener(longer))));
    ASSERT_FALSE(
        messageOf(ExportToCsv(out, "T", false, "Data Source=/x.mdb", fakeOpener(shorter))));
    EXPECT_EQ(readAll(out), QByteArray("9,z\r\n"));
}

// Failures: the message names the file or the source and the cause, an existing file keeps
// its bytes and no temporary file stays behind.
struct FailureCase {
    const char* name;
    std::optional<Failure> openFailure;  // the opener's, passed on as it is
    std::optional<QString> readFailure;
    QString expectedMessage;
};

class ExportFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ExportFailureTest, LeavesTheOldFileAsItWas) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("keep.csv"));
    const QString db = dir.filePath(QStringLiteral("db.mdb"));
    writeFile(out, "old,content\r\n");
    const FailureCase& c = GetParam();
    FakeTable table{
        kIdName,
        {{integerValue(1), textValue("a")}, {integerValue(2), textValue("b")}},
        c.readFailure ? std::optional<Failure>(testFailure(*c.readFailure)) : std::nullopt,
        1};
    const std::optional<QString> failure = messageOf(
        ExportToCsv(out, QStringLiteral("Customers"), true, QStringLiteral("Data Source=") + db,
                    fakeOpener(table, c.openFailure)));
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, c.expectedMessage);
    EXPECT_EQ(readAll(out), QByteArray("old,content\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("keep.csv")});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportFailureTest,
    ::testing::Values(
        FailureCase{"DatabaseCannotBeOpened",
                    Failure(ExportFault::CannotOpenDatabase, {QStringLiteral("/db.mdb")},
                            testFailure(QStringLiteral("原因。"))),
                    std::nullopt,
                    QStringLiteral("データベース(/db.mdb)を開くことができません。原因。")},
        FailureCase{
            "VanishedTable",
            Failure(ExportFault::CannotOpenSource, {QStringLiteral("Customers")},
                    testFailure(QStringLiteral("原因。"))),
            std::nullopt,
            QStringLiteral("テーブルまたはクエリー(Customers)を開くことができません。原因。")},
        FailureCase{"ReadingStopsHalfWay", std::nullopt, QStringLiteral("壊れた行があります。"),
                    QStringLiteral("テーブルまたはクエリー(Customers)を読み込めません。"
                                   "壊れた行があります。")}),
    [](const ::testing::TestParamInfo<FailureCase>& tested) {
        return std::string(tested.param.name);
    });

TEST(ExportToCsvTest, FailureLeavesNoNewFileBehind) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("new.csv"));
    EXPECT_TRUE(messageOf(ExportToCsv(out, "T", false, "Data Source=/x.mdb",
                                      fakeOpener({}, testFailure(QStringLiteral("x"))))));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

struct UnwritableCase {
    const char* name;
    const char* target;  // relative to a fresh folder; "dir" exists there as a folder
    const char* cause;
};

class ExportUnwritableTest : public ::testing::TestWithParam<UnwritableCase> {};

TEST_P(ExportUnwritableTest, ReportsThePathBeforeTheDatabaseIsRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("dir")));
    const QString out = dir.filePath(QLatin1String(GetParam().target));
    bool opened = false;
    const ExportSourceOpener opener =
        [&opened](const QString&, const QString&) -> Result<std::unique_ptr<ExportRowSource>> {
        opened = true;
        return testFailure(QStringLiteral("opened"));
    };
    const std::optional<QString> failure =
        messageOf(ExportToCsv(out, "T", false, "Data Source=/x", opener));
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, QStringLiteral("ファイル(") + out + QStringLiteral(")を作成できません。") +
                            QString::fromUtf8(GetParam().cause));
    EXPECT_FALSE(opened);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportUnwritableTest,
                         ::testing::Values(UnwritableCase{"MissingFolder", "no/such/folder/out.csv",
                                                          "フォルダがありません。"},
                                           UnwritableCase{"FolderInTheWay", "dir",
                                                          "同じ名前のフォルダがあります。"}),
                         [](const ::testing::TestParamInfo<UnwritableCase>& tested) {
                             return std::string(tested.param.name);
                         });

TEST(ExportToCsvTest, ReadOnlyFolderKeepsItsFile) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    const QString out = folder + QStringLiteral("/out.csv");
    writeFile(out, "old\r\n");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    if (::geteuid() == 0) {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "root writes into read-only folders";
    }
    const std::optional<QString> failure =
        messageOf(ExportToCsv(out, "T", false, "Data Source=/x.mdb",
                              fakeOpener({kIdName, {{integerValue(1), textValue("a")}}})));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure,
              QStringLiteral("ファイル(") + out +
                  QStringLiteral(")を作成できません。フォルダへの書き込みが許可されていません。"));
    EXPECT_EQ(readAll(out), QByteArray("old\r\n"));
}

TEST(ExportToCsvTest, RefusesToReplaceTheDatabaseItReads) {
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("data.mdb"));
    writeFile(db, "database bytes");
    // The same file named through another spelling of its folder.
    const QString sameDb = dir.path() + QStringLiteral("/./data.mdb");
    const std::optional<QString> failure =
        messageOf(ExportToCsv(sameDb, "T", false, QStringLiteral("Data Source=") + db,
                              fakeOpener({kIdName, {{integerValue(1), textValue("a")}}})));
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->contains(QStringLiteral("データベースそのもの")));
    EXPECT_EQ(readAll(db), QByteArray("database bytes"));
}

// The save file of the program with one failure put in: a write or the final rename fails as a
// full disk, a broken device or a vanished folder would make it.
class FailingDevice : public ExportFile {
public:
    FailingDevice(const QString& path, QFileDevice::FileError error, bool onCommit)
        : m_file(makeSaveFile(path)), m_error(error), m_onCommit(onCommit) {}
    bool open() override { return m_file->open(); }
    bool write(const char* data, size_t size) override {
        if (m_onCommit) {
            return m_file->write(data, size);
        }
        m_file->write(data, size / 2);  // part of it reached the disk
        m_failed = true;
        return false;
    }
    bool commit() override {
        if (m_onCommit) {
            m_failed = true;
            return false;
        }
        return m_file->commit();
    }
    void discard() override { m_file->discard(); }
    QFileDevice::FileError error() const override { return m_failed ? m_error : m_file->error(); }

private:
    std::unique_ptr<ExportFile> m_file;
    QFileDevice::FileError m_error;
    bool m_onCommit;
    bool m_failed = false;
};

struct DeviceFailureCase {
    const char* name;
    QFileDevice::FileError error;
    bool onCommit;
    const char* message;  // after "ファイル(path)"
};

class ExportDeviceFailureTest : public ::testing::TestWithParam<DeviceFailureCase> {};

TEST_P(ExportDeviceFailureTest, KeepsTheOldFileAndNamesTheCause) {
    const DeviceFailureCase& c = GetParam();
    setExportFileFactory([&c](const QString& path) -> std::unique_ptr<ExportFile> {
        return std::make_unique<FailingDevice>(path, c.error, c.onCommit);
    });
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("keep.csv"));
    writeFile(out, "old,content\r\n");
    // More rows than one write takes, so a failing write comes before the end.
    FakeTable table{kIdName};
    for (int i = 0; i < 40000; ++i) {
        table.rows.push_back({integerValue(i), textValue(QStringLiteral("row number %1").arg(i))});
    }
    const std::optional<QString> failure =
        messageOf(ExportToCsv(out, "T", true, "Data Source=/x.mdb", fakeOpener(table)));
    setExportFileFactory(nullptr);
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, QStringLiteral("ファイル(") + out + QStringLiteral(")") +
                            QString::fromUtf8(c.message));
    EXPECT_EQ(readAll(out), QByteArray("old,content\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("keep.csv")});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportDeviceFailureTest,
    ::testing::Values(DeviceFailureCase{"DiskFull", QFileDevice::ResourceError, false,
                                        "に書き込めません。ディスクの空きが足りません。"},
                      DeviceFailureCase{"WriteError", QFileDevice::WriteError, false,
                                        "に書き込めません。書き込みに失敗しました。"},
                      DeviceFailureCase{
                          "RenameError", QFileDevice::RenameError, true,
                          "を保存できません。できあがったファイルを置くことができません。"}),
    [](const ::testing::TestParamInfo<DeviceFailureCase>& tested) {
        return std::string(tested.param.name);
    });

}  // namespace
}  // namespace korvane
