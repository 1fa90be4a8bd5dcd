// One window's life: 300 opens in one process through the program's own loaders (text files,
// workbooks and databases; valid and damaged; shown and cancelled). Afterwards memory has not
// grown, no descriptor and no reader process is left behind, and every file still shows exactly
// what its first open showed.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <iostream>
#include <memory>

#include "ProcessProbes.h"
#include "app/StandardLoaders.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"
#include "support/TestFiles.h"

// Under AddressSanitizer freed memory waits in a quarantine (256 MB by default) before it is
// reused, which would count as growth here; a small one keeps the figure about our own memory.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=4:thread_local_quarantine_size_kb=64";
}

namespace korvane {
namespace {

using Action = ScriptStep::Action;
using testing::TempFiles;

constexpr int kOpens = 300;
constexpr int64_t kMaxGrowth = 20 << 20;
const QString kCancelled = QStringLiteral("キャンセルされました。");

enum class Expect { Shown, Cancelled, Empty, Message, Any };

struct Opening {
    QString path;
    QString dialog;  // the dialog's objectName; its steps end with OK unless they cancel
    std::vector<ScriptStep> steps;
    Expect expect = Expect::Any;
    bool cancelProgress = false;  // answer "stop" when the load reports progress
};

ScriptStep click(const char* object) {
    return ScriptStep{Action::Click, QLatin1String(object), {}, -1, true};
}
ScriptStep check(const char* object) {
    return ScriptStep{Action::SetChecked, QLatin1String(object), {}, -1, true};
}
ScriptStep line(const char* list, int index) {
    return ScriptStep{Action::SelectIndex, QLatin1String(list), {}, index, true};
}

const QString kCsv = QStringLiteral("DialogConfirmCSV");
const QString kXls = QStringLiteral("DialogConfirmXLS");
const QString kMdb = QStringLiteral("DialogConfirmMDB");

QByteArray manyLines(int count) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i) {
        bytes += QByteArray::number(i) + ",\"name " + QByteArray::number(i * 7) + "\",東京\r\n";
    }
    return bytes;
}

QByteArray damaged(const QString& path, int keep, int zeroFrom, int zeroCount) {
    QByteArray bytes = testing::fileBytes(path);
    bytes.truncate(keep);
    for (int i = zeroFrom; i < zeroFrom + zeroCount && i < bytes.size(); ++i) {
        bytes[i] = '\0';
    }
    return bytes;
}

void addTextFiles(TempFiles& files, std::vector<Opening>& out) {
    const QString plain = files.write(QStringLiteral("plain.csv"),
                                      "id,name\r\n1,\"a,b\"\r\n2,\"say \"\"hi\"\"\"\r\n3,東京\r\n");
    const QString big = files.write(QStringLiteral("big.csv"), manyLines(300000));
    out.push_back({plain, kCsv, {}, Expect::Shown});
    out.push_back({plain, kCsv, {click("Option2"), check("Check1")}, Expect::Shown});
    out.push_back({plain, kCsv, {click("CancelButton")}, Expect::Cancelled});
    out.push_back({files.write(QStringLiteral("sjis.txt"),
                               QByteArray("\x93\x8c\x8b\x9e,\x87\x40\r\n\x1a", 10)),
                   kCsv,
                   {},
                   Expect::Shown});
    out.push_back({files.write(QStringLiteral("invalid.csv"), "a,\xC3\x28,\xFF\xFE\r\n\xE3\x81"),
                   kCsv,
                   {click("Option2")},
                   Expect::Any});
    out.push_back({files.write(QStringLiteral("nul.csv"), QByteArray("a\0b,c\r\n\0\0,\0", 12)),
                   kCsv,
                   {},
                   Expect::Any});
    out.push_back({files.write(QStringLiteral("empty.csv"), QByteArray()), kCsv, {}, Expect::Any});
    out.push_back({big, kCsv, {click("Option2")}, Expect::Shown});
    out.push_back({big, kCsv, {click("Option2")}, Expect::Empty, true});
}

void addWorkbooks(TempFiles& files, std::vector<Opening>& out) {
    const QString sample = testing::testDataFile(QStringLiteral("sample.xls"));
    out.push_back({sample, kXls, {line("List1", 0)}, Expect::Shown});
    out.push_back({sample, kXls, {line("List1", 0), click("CancelButton")}, Expect::Cancelled});
    out.push_back({testing::testDataFile(QStringLiteral("sample_biff5_sjis.xls")),
                   kXls,
                   {line("List1", 0)},
                   Expect::Shown});
    out.push_back({testing::testDataFile(QStringLiteral("truncated.xls")),
                   kXls,
                   {line("List1", 0)},
                   Expect::Message});
    out.push_back({testing::testDataFile(QStringLiteral("notxls.xls")),
                   kXls,
                   {line("List1", 0)},
                   Expect::Message});
    out.push_back({files.write(QStringLiteral("holed.xls"), damaged(sample, 1 << 30, 40000, 9000)),
                   kXls,
                   {line("List1", 0)},
                   Expect::Any});
}

void addDatabases(TempFiles& files, std::vector<Opening>& out) {
    const QString sample = testing::testDataFile(QStringLiteral("sample_jet4.mdb"));
    out.push_back({sample, kMdb, {check("Option3"), line("List1", 0)}, Expect::Shown});
    out.push_back({sample, kMdb, {check("Option4"), line("List2", 0)}, Expect::Any});
    out.push_back(
        {sample, kMdb, {check("Option3"), line("List1", 1), check("Option2")}, Expect::Shown});
    out.push_back({sample, kMdb, {click("CancelButton")}, Expect::Cancelled});
    out.push_back({testing::testDataFile(QStringLiteral("sample_jet4_empty.mdb")),
                   kMdb,
                   {click("CancelButton")},
                   Expect::Message});
    out.push_back({files.write(QStringLiteral("cut.mdb"), damaged(sample, 40960, 0, 0)),
                   kMdb,
                   {check("Option3"), line("List1", 0)},
                   Expect::Any});
    out.push_back({files.write(QStringLiteral("holed.mdb"), damaged(sample, 1 << 30, 8192, 8192)),
                   kMdb,
                   {check("Option3"), line("List1", 0)},
                   Expect::Any});
    out.push_back({files.write(QStringLiteral("garbage.mdb"), QByteArray(5000, '\x5a')),
                   kMdb,
                   {},
                   Expect::Message});
}

// Files of other programs when this machine has them: a few, so the session stays short.
void addPeerFiles(std::vector<Opening>& out) {
    const struct {
        const char* folder;
        const char* pattern;
        const QString& dialog;
        std::vector<ScriptStep> steps;
    } kinds[] = {
        {"peer-xls", "*.xls", kXls, {line("List1", 0)}},
        {"peer-mdb", "*.mdb", kMdb, {check("Option3"), line("List1", 0)}},
        {"crashers-mdb", "crash_*.mdb", kMdb, {check("Option3"), line("List1", 0)}},
    };
    for (const auto& kind : kinds) {
        const QString folder = testing::fixtureFile(QLatin1String(kind.folder));
        if (folder.isEmpty()) {
            continue;
        }
        const QStringList names =
            QDir(folder).entryList({QLatin1String(kind.pattern)}, QDir::Files, QDir::Name);
        for (const QString& name : names.mid(0, 2)) {
            out.push_back({QDir(folder).filePath(name), kind.dialog, kind.steps, Expect::Any});
        }
    }
}

// What a person sees after one open: the tree, the list's titles and rows, every message.
QStringList shown(const TreePane& tree, const ListPane& list,
                  const std::vector<QStringList>& records, size_t firstRecord) {
    QStringList out;
    for (int i : tree.displayOrder()) {
        const TreePane::Node& node = tree.nodes()[static_cast<size_t>(i)];
        out << QStringLiteral("tree %1 %2 %3")
                   .arg(node.text)
                   .arg(node.bold ? 1 : 0)
                   .arg(node.expanded ? 1 : 0);
    }
    out << QStringLiteral("titles ") + list.columnHeaders().join(QLatin1Char('|'));
    out << QStringLiteral("rows %1").arg(list.itemCount());
    for (int64_t row = 0; row < list.itemCount(); ++row) {
        if (row < 40 || row >= list.itemCount() - 40) {
            out << list.itemText(row) + QLatin1Char('|') +
                       list.subItems(row).join(QLatin1Char('|'));
        }
    }
    for (size_t i = firstRecord; i < records.size(); ++i) {
        out << records[i].join(QLatin1Char('|'));
    }
    return out;
}

bool meets(Expect expect, const QStringList& seen, const ListPane& list) {
    const bool cancelled = seen.filter(kCancelled).size() > 0;
    switch (expect) {
        case Expect::Shown:
            return list.itemCount() > 0 && !cancelled;
        case Expect::Cancelled:
            return cancelled;
        case Expect::Empty:
            return list.itemCount() == 0;
        case Expect::Message:
            return seen.filter(QRegularExpression(QStringLiteral("^(message|box)\\|"))).size() > 0;
        case Expect::Any:
            return true;
    }
    return false;
}

QStringList describe(const QMap<int, QString>& fds) {
    QStringList out;
    for (auto it = fds.begin(); it != fds.end(); ++it) {
        out << QString::number(it.key()) + QStringLiteral(" -> ") + it.value();
    }
    return out;
}

TEST(LongSession, ThreeHundredOpensLeaveNothingBehind) {
    TempFiles files;
    std::vector<Opening> openings;
    addTextFiles(files, openings);
    addWorkbooks(files, openings);
    addDatabases(files, openings);
    openings.push_back({files.path(QStringLiteral("gone.csv")), kCsv, {}, Expect::Message});
    openings.push_back({files.write(QStringLiteral("x.doc"), "x"), kCsv, {}, Expect::Message});
    addPeerFiles(openings);
    const int rounds =
        (kOpens + static_cast<int>(openings.size()) - 1) / static_cast<int>(openings.size());

    registerStandardLoaders();
    InitProgramState();
    ScriptedInteraction ui;
    setUserInteraction(&ui);
    auto tree = std::make_unique<TreePane>();
    auto list = std::make_unique<ListPane>();
    const QMap<int, QString> fdsBefore = testing::openDescriptors();
    std::vector<QStringList> first(openings.size());
    int64_t afterFirstRound = 0;
    int64_t peak = 0;
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < openings.size(); ++i) {
            const Opening& o = openings[i];
            std::vector<ScriptStep> steps = o.steps;
            if (steps.empty() || steps.back().object != QLatin1String("CancelButton")) {
                steps.push_back(click("OKButton"));
            }
            for (const QString& dialog : {kCsv, kXls, kMdb}) {
                ui.setDialogSteps(dialog, dialog == o.dialog ? steps : std::vector<ScriptStep>{});
            }
            ui.setCancelProgress(o.cancelProgress);
            const size_t firstRecord = ui.records().size();
            OpenFile(o.path, *tree, *list);
            ui.setCancelProgress(false);
            const QStringList seen = shown(*tree, *list, ui.records(), firstRecord);
            const std::string what = QFileInfo(o.path).fileName().toStdString() + " #" +
                                     std::to_string(i) + " round " + std::to_string(round + 1);
            ASSERT_FALSE(ui.scriptError()) << what << ": " << ui.scriptError()->toStdString();
            if (round == 0) {
                EXPECT_TRUE(meets(o.expect, seen, *list))
                    << what << "\n"
                    << seen.mid(0, 12).join('\n').toStdString();
                first[i] = seen;
            } else {
                ASSERT_EQ(seen, first[i]) << what << " shows something else than at first";
            }
        }
        const int64_t rss = testing::residentBytes();
        peak = std::max(peak, rss);
        if (round == 0) {
            afterFirstRound = rss;
        }
    }
    const int64_t atEnd = testing::residentBytes();

    // The window closes: its panes go, and with them whatever they still read from.
    tree.reset();
    list.reset();
    InitProgramState();
    setUserInteraction(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();

    QMap<int, QString> leftOpen = testing::openDescriptors();
    for (auto it = fdsBefore.begin(); it != fdsBefore.end(); ++it) {
        if (leftOpen.value(it.key()) == it.value()) {
            leftOpen.remove(it.key());
        }
    }
    const QStringList children = testing::childProcesses();
    std::cout << "long session: " << rounds * openings.size() << " opens of " << openings.size()
              << " files; resident after the first round " << afterFirstRound / 1024
              << " KiB, at the end " << atEnd / 1024 << " KiB (growth "
              << (atEnd - afterFirstRound) / 1024 << " KiB, peak " << peak / 1024
              << " KiB); descriptors left open " << leftOpen.size() << "; reader processes left "
              << children.size() << "\n";
    EXPECT_LT(atEnd - afterFirstRound, kMaxGrowth);
    EXPECT_TRUE(leftOpen.isEmpty()) << describe(leftOpen).join('\n').toStdString();
    EXPECT_TRUE(children.isEmpty()) << children.join('\n').toStdString();
}

}  // namespace
}  // namespace korvane
