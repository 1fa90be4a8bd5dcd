// Every fixture, and damaged copies of them, through `korvane-cli show` with default answers:
// each must end in content or a message, in time, without a crash or a sanitizer report.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "robustness/Mutator.h"
#include "support/TestFiles.h"

namespace korvane::robustness {
namespace {

constexpr int kMutantsPerFormat = 300;

struct Counts {
    int files = 0;
    int mutants = 0;
    int passed = 0;
};

using AnswerSets = QList<QStringList>;
// Default answers stop at the dialog's check (nothing selected); the other sets read cells,
// records and a saved query, where most of the reading happens.
const AnswerSets kDefaultAnswers = {{}};
const AnswerSets kWorkbookAnswers = {
    {},
    {QStringLiteral("--sheet-index"), QStringLiteral("1"), QStringLiteral("--cols"),
     QStringLiteral("60"), QStringLiteral("--rows"), QStringLiteral("300")}};
const AnswerSets kDatabaseAnswers = {
    {},
    {QStringLiteral("--table-index"), QStringLiteral("1"), QStringLiteral("--count"),
     QStringLiteral("2000")},
    {QStringLiteral("--query-index"), QStringLiteral("1"), QStringLiteral("--all")}};

// The shared fixtures are optional: without them the corpus is the designed test data.
QString fixtures() {
    return testing::fixturesDir();
}
QString testData() {
    return qEnvironmentVariable("KORVANE_TEST_DATA");
}

QStringList filesIn(const QString& dir, const QStringList& patterns) {
    QStringList result;
    if (dir.isEmpty() || !QDir(dir).exists()) {
        return result;
    }
    for (const QString& name : QDir(dir).entryList(patterns, QDir::Files, QDir::Name)) {
        result.append(QDir(dir).filePath(name));
    }
    return result;
}

class CorpusRun : public ::testing::Test {
protected:
    void SetUp() override {
        m_cli = testing::binFile(QStringLiteral("korvane-cli"));
        if (!QFile::exists(m_cli)) {
            GTEST_SKIP() << "korvane-cli not built";
        }
        ASSERT_TRUE(m_dir.isValid());
    }

    // Runs one file; returns an empty string when it passed, else what went wrong.
    // `answers` are extra answers for the file's dialog; one that names a line the dialog does
    // not list (a damaged catalogue may list nothing) is the only bad usage accepted.
    QString runOne(const QString& path, int timeoutSeconds, const QStringList& answers = {}) {
        QProcess process;
        process.setProgram(m_cli);
        process.setArguments(QStringList{QStringLiteral("show"), QStringLiteral("--summary")} +
                             answers + QStringList{path});
        process.start();
        if (!process.waitForFinished(timeoutSeconds * 1000)) {
            process.kill();
            process.waitForFinished();
            return QStringLiteral("no answer within %1 s").arg(timeoutSeconds);
        }
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        const QString err = QString::fromUtf8(process.readAllStandardError());
        if (process.exitStatus() != QProcess::NormalExit) {
            return QStringLiteral("crashed: ") + err.right(2000);
        }
        if (process.exitCode() == 2 && !answers.isEmpty() &&
            err.contains(QLatin1String("korvane-cli: no ")) &&
            err.contains(QLatin1String(" number "))) {
            return {};
        }
        if (process.exitCode() != 0 && process.exitCode() != 3) {
            return QStringLiteral("exit code %1: ").arg(process.exitCode()) + err.right(2000);
        }
        if (err.contains(QLatin1String("AddressSanitizer")) ||
            err.contains(QLatin1String("runtime error:")) ||
            err.contains(QLatin1String("LeakSanitizer"))) {
            return QStringLiteral("sanitizer report: ") + err.right(3000);
        }
        const bool content = out.contains(QLatin1String("\ntree\t"));
        const bool message = out.startsWith(QLatin1String("message\t")) ||
                             out.contains(QLatin1String("\nmessage\t"));
        if (!content && !message) {
            return QStringLiteral("neither content nor a message: ") + out.left(500);
        }
        return {};
    }

    // A program built without the loader for a format shows nothing and says nothing even for a
    // sound file; there is nothing to check for that format then.
    bool loaderMissing(const QString& soundFile) {
        return runOne(soundFile, 60).startsWith(QLatin1String("neither content nor a message"));
    }

    // Each file runs once per answer set; it passes when every run passes.
    QString runAll(const QString& path, int timeoutSeconds, const AnswerSets& answerSets) {
        for (const QStringList& answers : answerSets) {
            const QString problem = runOne(path, timeoutSeconds, answers);
            if (!problem.isEmpty()) {
                return QStringLiteral("with answers [%1]: ").arg(answers.join(QLatin1Char(' '))) +
                       problem;
            }
        }
        return {};
    }

    void runFiles(const QStringList& files, Counts& counts, int timeoutSeconds,
                  const AnswerSets& answerSets = kDefaultAnswers) {
        for (const QString& file : files) {
            ++counts.files;
            const QString problem = runAll(file, timeoutSeconds, answerSets);
            EXPECT_TRUE(problem.isEmpty()) << file << ": " << problem;
            counts.passed += problem.isEmpty() ? 1 : 0;
        }
    }

    void runMutants(const QStringList& originals, const QString& suffix, int blockSize,
                    Counts& counts, int timeoutSeconds,
                    const AnswerSets& answerSets = kDefaultAnswers) {
        if (originals.isEmpty()) {
            return;
        }
        Mutator mutator(20261207);
        const int perFile = (kMutantsPerFormat + originals.size() - 1) / originals.size();
        for (const QString& original : originals) {
            QFile in(original);
            ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << original;
            const QByteArray bytes = in.readAll();
            for (const Mutant& mutant : mutator.mutate(bytes, perFile, blockSize)) {
                const QString path = m_dir.filePath(QStringLiteral("mutant.") + suffix);
                QFile out(path);
                ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
                out.write(mutant.bytes);
                out.close();
                ++counts.mutants;
                const QString problem = runAll(path, timeoutSeconds, answerSets);
                EXPECT_TRUE(problem.isEmpty())
                    << QFileInfo(original).fileName() << " " << mutant.name << ": " << problem;
                counts.passed += problem.isEmpty() ? 1 : 0;
            }
        }
    }

    static void report(const char* format, const Counts& c) {
        std::printf("%s: files %d, mutants %d, passed %d of %d\n", format, c.files, c.mutants,
                    c.passed, c.files + c.mutants);
    }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    }

    QString m_cli;
    QTemporaryDir m_dir;
};

TEST_F(CorpusRun, TextFiles) {
    QStringList seeds;
    seeds << writeFile(
        QStringLiteral("utf8.csv"),
        "id,name,note\r\n1,\"東京\",\"a,b\"\r\n2,大阪,\"say \"\"hi\"\"\"\r\n3,,\r\n");
    seeds << writeFile(QStringLiteral("lf.txt"), "a,b,c\n1,2,3\n\"x\ny\",z\n");
    // Shift_JIS: 東京 and ① as CP932 bytes.
    seeds << writeFile(QStringLiteral("sjis.csv"),
                       QByteArray("name,city\r\n\x93\x8c\x8b\x9e,\x87\x40\r\n", 21));
    seeds << writeFile(QStringLiteral("bom.csv"), "\xEF\xBB\xBFh1,h2\r\nv1,v2\r\n");
    if (loaderMissing(seeds.first())) {
        GTEST_SKIP() << "no text loader built";
    }
    Counts counts;
    // Special cases: invalid UTF-8, NUL bytes, a line of 200 MB.
    QStringList special;
    special << writeFile(QStringLiteral("invalid.csv"), "a,\xC3\x28,\xFF\xFE\r\n\xE3\x81\r\n");
    special << writeFile(QStringLiteral("nul.csv"), QByteArray("a\0b,c\r\n\0\0\0,\0\r\n", 15));
    special << writeFile(QStringLiteral("empty.csv"), QByteArray());
    QByteArray longLine;
    longLine.reserve(200 << 20);
    const QByteArray chunk = QByteArray(999, 'x') + ',';
    while (longLine.size() < (200 << 20)) {
        longLine.append(chunk);
    }
    special << writeFile(QStringLiteral("long.csv"), longLine + "\r\nshort\r\n");
    longLine.clear();
    longLine.squeeze();
    runFiles(seeds, counts, 60);
    runFiles(special, counts, 600);
    runMutants(seeds, QStringLiteral("csv"), 16, counts, 60);
    report("csv", counts);
}

TEST_F(CorpusRun, Workbooks) {
    QStringList files = filesIn(testData(), {QStringLiteral("*.xls")});
    files << filesIn(fixtures() + QStringLiteral("/xls"), {QStringLiteral("*.xls")});
    files << filesIn(fixtures() + QStringLiteral("/peer-xls"),
                     {QStringLiteral("*.xls"), QStringLiteral("*.XLS")});
    if (files.isEmpty()) {
        GTEST_SKIP() << "no workbooks";
    }
    if (loaderMissing(files.first())) {
        GTEST_SKIP() << "no workbook loader built";
    }
    Counts counts;
    runFiles(files, counts, 60, kWorkbookAnswers);
    QStringList seeds = filesIn(testData(), {QStringLiteral("sample*.xls")});
    if (seeds.isEmpty()) {
        seeds = filesIn(fixtures() + QStringLiteral("/xls"), {QStringLiteral("sample*.xls")});
    }
    runMutants(seeds, QStringLiteral("xls"), 512, counts, 60, kWorkbookAnswers);
    report("xls", counts);
}

TEST_F(CorpusRun, Databases) {
    QStringList files = filesIn(fixtures() + QStringLiteral("/mdb"), {QStringLiteral("*.mdb")});
    files << filesIn(fixtures() + QStringLiteral("/peer-mdb"), {QStringLiteral("*.mdb")});
    files << filesIn(fixtures() + QStringLiteral("/crashers-mdb"), {QStringLiteral("*.mdb")});
    if (files.isEmpty()) {
        files = filesIn(testData(), {QStringLiteral("*.mdb")});
    }
    if (files.isEmpty()) {
        GTEST_SKIP() << "no databases";
    }
    if (loaderMissing(files.first())) {
        GTEST_SKIP() << "no database loader built";
    }
    Counts counts;
    runFiles(files, counts, 60, kDatabaseAnswers);
    QStringList seeds = filesIn(testData(), {QStringLiteral("sample_jet4*.mdb")});
    if (seeds.isEmpty()) {
        seeds = filesIn(fixtures() + QStringLiteral("/mdb"), {QStringLiteral("sample_jet4*.mdb")});
    }
    runMutants(seeds, QStringLiteral("mdb"), 4096, counts, 60, kDatabaseAnswers);
    report("mdb", counts);
}

}  // namespace
}  // namespace korvane::robustness
