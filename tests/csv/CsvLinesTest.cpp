// The fast line count must agree with the whole-file split and SplitCsvLine on every input:
// line ends, quotes and commas that fall across the scanner's block and read boundaries,
// encodings, and files that change or fail while they are read.
#include "csv/CsvLines.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <random>

#include "CsvTestFiles.h"
#include "csv/CsvLineCounter.h"
#include "text/CsvText.h"

namespace korvane {
namespace {

std::shared_ptr<TextFileReader> ReaderOf(const QByteArray& bytes) {
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    return std::make_shared<TextFileReader>(std::move(buffer));
}

std::shared_ptr<const CsvLines> Scan(const QByteArray& bytes) {
    const CsvScan scan = scanCsvLines(ReaderOf(bytes));
    EXPECT_EQ(scan.status, CsvScan::Status::Done);
    return scan.lines;
}

// Ways of running the load pass: each method, inline and on two threads, with chunks of a few
// bytes so that chunk borders fall everywhere (the fuzz target tries every combination).
std::vector<CsvScanOptions> AllScanOptions() {
    std::vector<CsvScanOptions> all(4);
    all[1].method = CsvScanMethod::Scalar;
    all[1].chunkBytes = 1;
    all[1].threads = 2;
    all[2].method = CsvScanMethod::Sse2;
    all[2].chunkBytes = 3;
    all[2].threads = 1;
    all[3].method = CsvScanMethod::Avx2;
    all[3].chunkBytes = 64;
    all[3].threads = 2;
    return all;
}

// The whole result of the load pass, and the text of every line.
void ExpectSameScan(const CsvLines& lines, const CsvLines& reference, const std::string& label) {
    ASSERT_EQ(lines.lineCount(), reference.lineCount()) << label;
    EXPECT_EQ(lines.maxFieldCount(), reference.maxFieldCount()) << label;
    EXPECT_EQ(lines.encoding(), reference.encoding()) << label;
    EXPECT_EQ(lines.lineBreaks(), reference.lineBreaks()) << label;
    EXPECT_EQ(lines.marks(), reference.marks()) << label;
    for (int64_t i = 0; i < lines.lineCount(); ++i) {
        ASSERT_EQ(lines.lineText(i), reference.lineText(i)) << label << " line " << i;
    }
}

// Checks the scan of `bytes` against the reference: the whole-file split, then SplitCsvLine;
// and every way of running the pass against the plain one.
void ExpectAgreesWithReference(const QByteArray& bytes, const std::string& label) {
    const CsvScan plain = scanCsvLinesReference(ReaderOf(bytes));
    ASSERT_TRUE(plain.lines) << label;
    for (const CsvScanOptions& options : AllScanOptions()) {
        const CsvScan scan = scanCsvLines(ReaderOf(bytes), {}, options);
        ASSERT_TRUE(scan.lines) << label;
        ExpectSameScan(*scan.lines, *plain.lines,
                       label + " method " + std::to_string(static_cast<int>(options.method)) +
                           " chunk " + std::to_string(options.chunkBytes) + " threads " +
                           std::to_string(options.threads) + " bytes " + bytes.toHex().data());
    }

    const TextFileLines reference = splitTextLines(bytes);
    const std::shared_ptr<const CsvLines> lines = Scan(bytes);
    ASSERT_TRUE(lines) << label;
    ASSERT_EQ(lines->lineCount(), reference.lines.size()) << label;
    EXPECT_EQ(lines->encoding(), reference.encoding) << label;
    EXPECT_EQ(lines->lineBreaks(), reference.breaks) << label;
    int64_t widest = 0;
    for (qsizetype i = 0; i < reference.lines.size(); ++i) {
        widest = std::max<int64_t>(widest, SplitCsvLine(reference.lines[i]).size());
        ASSERT_EQ(lines->lineText(i), reference.lines[i]) << label << " line " << i;
    }
    EXPECT_EQ(lines->maxFieldCount(), widest) << label;

    // Every line's own count, not only the widest.
    const uint64_t first = startsWithUtf8Bom(bytes) ? kUtf8BomSize : 0;
    CsvLineCounter counter(reference.breaks, first);
    std::vector<int64_t> counts;
    counter.recordFieldCounts(&counts);
    counter.feed(bytes.constData() + first, static_cast<size_t>(bytes.size()) - first);
    counter.finish();
    ASSERT_EQ(counts.size(), static_cast<size_t>(reference.lines.size())) << label;
    for (size_t i = 0; i < counts.size(); ++i) {
        EXPECT_EQ(counts[i], SplitCsvLine(reference.lines[static_cast<qsizetype>(i)]).size())
            << label << " line " << i << ": " << reference.lines[static_cast<qsizetype>(i)];
    }
}

struct ScanCase {
    const char* name;
    QByteArray bytes;
    int64_t lines;
    int64_t widest;
};

class ScanCounts : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanCounts, CountsLinesAndTheWidestLine) {
    const ScanCase& c = GetParam();
    const std::shared_ptr<const CsvLines> lines = Scan(c.bytes);
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->lineCount(), c.lines);
    EXPECT_EQ(lines->maxFieldCount(), c.widest);
    ExpectAgreesWithReference(c.bytes, c.name);
}

// A field of `n` bytes: pads lines so that quotes and line ends fall on the 64-byte edges.
QByteArray Pad(int n) {
    return QByteArray(n, 'p');
}

INSTANTIATE_TEST_SUITE_P(
    CsvLines, ScanCounts,
    ::testing::Values(ScanCase{"Empty", "", 0, 0}, ScanCase{"BomOnly", "\xEF\xBB\xBF", 0, 0},
                      ScanCase{"ThreeLines2_5_3", "a,b\r\n1,2,3,4,5\r\nx,y,z\r\n", 3, 5},
                      ScanCase{"AllEmptyLines", "\r\n\r\n\r\n", 3, 0},
                      ScanCase{"TrailingCommaAddsNoField", "a,b,\r\n", 1, 2},
                      ScanCase{"LoneComma", ",\r\n", 1, 1}, ScanCase{"TwoCommas", ",,", 1, 2},
                      ScanCase{"QuotedCommas", "\"a,b\",\"c,d\",e\r\n", 1, 3},
                      ScanCase{"DoubledQuotes", "\"a\"\"b,c\",d\r\n", 1, 2},
                      ScanCase{"UnclosedQuoteRunsToLineEnd", "a,\"b,c,d\r\ne,f\r\n", 2, 2},
                      ScanCase{"QuoteEndsLine", "a,\"b\"\r\n", 1, 2},
                      ScanCase{"LfInsideCrLfFile", "a,\"x\ny\",b\r\nc\r\n", 2, 3},
                      ScanCase{"LoneCr", "a,b\rc", 2, 2}, ScanCase{"CrCrLf", "a\r\r\nb", 3, 1},
                      ScanCase{"UnixLines", "a,b\nc\n", 2, 2},
                      ScanCase{"NoLastLineEnd", "a\r\nb,c", 2, 2},
                      ScanCase{"NulBytes", QByteArray("a\0,b\r\n", 6), 1, 2},
                      ScanCase{"ShiftJis", "\x93\xfa\x96\x7b,\x8c\xea\r\n", 1, 2},
                      // A lead byte without its trail byte is a character of its own, not nothing.
                      ScanCase{"ShiftJisLeadByteAtLineEnd", "\x93\x8c\r\x82\r\n\x82,\x82", 3, 2},
                      ScanCase{"CrLfAcrossBlockEdge", Pad(63) + "\r\n" + "a,b\r\n", 2, 2},
                      ScanCase{"CrAtBlockEndAlone", Pad(63) + "\r" + "a,b", 2, 2},
                      ScanCase{"QuoteAcrossBlockEdge", "\"" + Pad(70) + ",x\",y\r\n", 1, 2},
                      ScanCase{"CommaEndsBlockAndLine", Pad(63) + ",\r\nz", 2, 1},
                      ScanCase{"CrLateInLfFile", Pad(200) + "\n" + Pad(100) + "\r\n", 1, 1}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(CsvLines, AgreesWithSplitCsvLineOnRandomText) {
    // Few distinct bytes, so that quotes, commas and line ends meet in every order.
    const QByteArray alphabet = QByteArray("ab ,,\"\"\"\r\n\t", 11) + QByteArray("\0", 1);
    std::mt19937 random(20261207);
    for (int round = 0; round < 400; ++round) {
        const int length = static_cast<int>(random() % 300);
        QByteArray bytes;
        for (int i = 0; i < length; ++i) {
            bytes += alphabet[static_cast<qsizetype>(random() % alphabet.size())];
        }
        ExpectAgreesWithReference(bytes, "round " + std::to_string(round));
        if (HasFailure()) {
            break;
        }
    }
}

TEST(CsvLines, CountsAcrossReadChunksAndFindsAnyLineAgain) {
    // Over one read chunk of the scan and more than the reader holds, with lines of changing
    // width.
    QByteArray bytes;
    int count = 0;
    while (bytes.size() < TextFileReader::kHeldBytes + (5 << 20)) {
        bytes +=
            "\"q," + QByteArray::number(count) + "\"," + QByteArray(count % 97, 'x') + ",e\r\n";
        ++count;
    }
    const std::shared_ptr<const CsvLines> lines = Scan(bytes);
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->lineCount(), count);
    EXPECT_EQ(lines->maxFieldCount(), 3);
    // In order, so that the blocks read first give way to later ones; then out of order,
    // backwards and past the end.
    for (int64_t line = 0; line < count; ++line) {
        ASSERT_TRUE(lines->lineText(line).startsWith(QStringLiteral("\"q,%1\"").arg(line))) << line;
    }
    for (int64_t line : {int64_t{count - 1}, int64_t{0}, int64_t{31}, int64_t{32}, int64_t{33},
                         int64_t{count / 2}, int64_t{5}, int64_t{4}}) {
        EXPECT_EQ(lines->lineText(line).section(u',', 0, 1), QStringLiteral("\"q,%1\"").arg(line))
            << line;
    }
    EXPECT_TRUE(lines->lineText(count).isEmpty());
    EXPECT_TRUE(lines->lineText(-1).isEmpty());
}

// A chunk border anywhere near a quoted line break, a CR LF pair, a multi-byte character or a
// doubled quote gives the result of one chunk: every byte from a little before the first of
// them to a little after the last is tried as a border, alone and with a second one just after.
TEST(CsvLines, ChunkBordersAnywhereGiveTheResultOfOneChunk) {
    const QByteArray filler = NumberedLines(40, 2);  // the break falls after a mark
    const QByteArray utf8Break = QStringLiteral("\"東,\r\n\"\"京\n😀\",\"ü\",\r\n").toUtf8();
    const std::pair<const char*, QByteArray> files[] = {
        {"utf8 crlf", filler + "a,\"x," + utf8Break + "b,c,d\r\n"},
        {"utf8 bom", "\xEF\xBB\xBF" + filler + utf8Break + "\"e\"\"f\",g\r\n"},
        {"cp932 crlf", filler + "\x93\x8c,\"\x8b\x5c,\r\n\x82\xa0\"\",\r\n\"\"\r\r\nz"},
        {"utf8 lf", QByteArray(filler).replace("\r", "") +
                        QStringLiteral("\"a,\n\"\",b,\"c\n\"é,d\n,\n").toUtf8()},
    };
    for (const auto& [name, bytes] : files) {
        CsvScanOptions oneChunk;
        oneChunk.threads = 1;
        const CsvScan whole = scanCsvLines(ReaderOf(bytes), {}, oneChunk);
        ASSERT_TRUE(whole.lines) << name;
        const CsvScan plain = scanCsvLinesReference(ReaderOf(bytes));
        ExpectSameScan(*whole.lines, *plain.lines, name);
        const auto around = static_cast<uint64_t>(filler.size()) - 4;
        for (uint64_t cut = around; cut < static_cast<uint64_t>(bytes.size()); ++cut) {
            for (const uint64_t second : {uint64_t{0}, uint64_t{1}, uint64_t{2}}) {
                CsvScanOptions options;
                options.threads = 2;
                options.cuts = {cut};
                if (second > 0) {
                    options.cuts.push_back(cut + second);
                }
                const CsvScan scan = scanCsvLines(ReaderOf(bytes), {}, options);
                ASSERT_TRUE(scan.lines);
                ExpectSameScan(*scan.lines, *whole.lines,
                               std::string(name) + " cut at " + std::to_string(cut) + "+" +
                                   std::to_string(second));
                if (HasFailure()) {
                    return;
                }
            }
        }
    }
}

TEST(CsvLines, ReadsJapaneseInBothEncodings) {
    const QString text = QStringLiteral("東京,\"大阪,京都\"");
    const std::pair<const char*, QByteArray> files[] = {
        {"utf8", text.toUtf8() + "\r\n"},
        {"utf8 with byte order mark", "\xEF\xBB\xBF" + text.toUtf8() + "\r\n"},
        {"shift_jis", QByteArray("\x93\x8c\x8b\x9e,\"\x91\xe5\x8d\xe3,\x8b\x9e\x93\x73\"\r\n")},
    };
    for (const auto& [name, bytes] : files) {
        const std::shared_ptr<const CsvLines> lines = Scan(bytes);
        ASSERT_TRUE(lines) << name;
        EXPECT_EQ(lines->lineText(0), text) << name;
        EXPECT_EQ(lines->maxFieldCount(), 2) << name;
    }
}

// Windows' code page 932: every byte 0x00-0x7F is its own code point (0x1A, 0x1C and 0x7F
// too), the NEC and IBM extensions decode as Windows decodes them, and whatever the code page
// leaves undefined is U+FFFD, never a control code or another character.
TEST(CsvLines, Cp932LinesShowWhatWindowsShows) {
    QByteArray ascii;
    QString asciiText;
    for (int byte = 0; byte < 0x80; ++byte) {
        if (byte != '\r') {
            ascii += static_cast<char>(byte);
            asciiText += QChar(byte);
        }
    }
    const std::pair<QByteArray, QString> cases[] = {
        {ascii, asciiText},
        {"a\x1A"
         "b\x1C"
         "c\x7F"
         "d\x1A",
         u"a\u001Ab\u001Cc\u007Fd\u001A"_qs},
        {"\x87\x40\x87\x54\x87\x8A\x87\x82\xFB\xFC\xEE\xE0", u"①Ⅰ㈱№髙髙"_qs},
        {"\x81\x60\x81\x5F\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA", u"～＼∥－￠￡￢"_qs},
        {"\xFA\x40\xEE\xEF\xFA\x54\xEE\xF9\xFA\x55\x87\x9A\x81\xE6", u"ⅰⅰ￢￢￤∵∵"_qs},
        {"\xF0\x40\xF9\xFC\xB1\xDF\xA1", u"\uE000\uE757ｱﾟ｡"_qs},
        // Undefined single bytes, an undefined pair, a lead byte before a byte that cannot
        // follow it (read on its own), and a lead byte at the line end.
        {"\x80\xA0\xFD\xFE\xFF", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"_qs},
        {"\x85\x40"
         "a\x81,"
         "b\x81\"\x82",
         u"\uFFFDa\uFFFD,b\uFFFD\"\uFFFD"_qs},
    };
    QByteArray file;
    for (const auto& [bytes, text] : cases) {
        file += bytes + "\r\n";
    }
    const std::shared_ptr<const CsvLines> lines = Scan(file);
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->encoding(), TextEncoding::Cp932);
    ASSERT_EQ(lines->lineCount(), static_cast<int64_t>(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(lines->lineText(static_cast<int64_t>(i)), cases[i].second) << "case " << i;
    }
}

// The sample shows lines cut to a number of bytes: only a character the cut splits is dropped.
TEST(CsvLines, CutLineDropsAHalfCharacterOnly) {
    struct Cut {
        QByteArray file;
        int64_t maxBytes;
        QString text;
    };
    const Cut cuts[] = {
        {QStringLiteral("東京").toUtf8(), 4, u"東"_qs},
        {QStringLiteral("東京").toUtf8(), 6, u"東京"_qs},
        {QStringLiteral("東京").toUtf8(), 3, u"東"_qs},
        {"\x93\x8c\x8b\x9e\x80", 3, u"東"_qs},
        {"\x93\x8c\x8b\x9e\x80", 4, u"東京"_qs},
        // Bytes that look like a cut character but are the whole line keep showing.
        {"\x93\x8c\x82", 3, u"東\uFFFD"_qs},
        {"\x93\x8c\x1A\x1Ax", 3, u"東\u001A"_qs},
        {"a\xEF\xBF\xBD\x1A"
         "bc",
         5, u"a\uFFFD\u001A"_qs},
    };
    for (const Cut& cut : cuts) {
        const std::shared_ptr<const CsvLines> lines = Scan(cut.file);
        ASSERT_TRUE(lines);
        EXPECT_EQ(lines->lineText(0, cut.maxBytes), cut.text) << cut.file.toHex().data();
    }
}

TEST(CsvLines, StoppedScanReportsCancelled) {
    int calls = 0;
    const CsvScan scan = scanCsvLines(ReaderOf(QByteArray(100, 'a')), [&calls](double) {
        ++calls;
        return false;
    });
    EXPECT_EQ(scan.status, CsvScan::Status::Cancelled);
    EXPECT_FALSE(scan.lines);
    EXPECT_EQ(calls, 1);
}

TEST(CsvLines, ProgressRisesToTheWhole) {
    std::vector<double> shares;
    const CsvScan scan = scanCsvLines(ReaderOf(QByteArray(9 << 20, 'a')), [&shares](double s) {
        shares.push_back(s);
        return true;
    });
    ASSERT_EQ(scan.status, CsvScan::Status::Done);
    ASSERT_FALSE(shares.empty());
    EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
    EXPECT_DOUBLE_EQ(shares.back(), 1.0);
}

// A device whose reads fail after the first `good` bytes.
class FailingDevice : public QBuffer {
public:
    FailingDevice(const QByteArray& bytes, qint64 good) : m_good(good) {
        setData(bytes);
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char* out, qint64 max) override {
        if (pos() + max > m_good) {
            return -1;
        }
        return QBuffer::readData(out, max);
    }

private:
    qint64 m_good;
};

TEST(CsvLines, ReadFailureIsReportedNotCounted) {
    const QByteArray bytes = NumberedLines(20000);
    auto reader = std::make_shared<TextFileReader>(std::make_unique<FailingDevice>(bytes, 100000));
    const CsvScan scan = scanCsvLines(reader);
    EXPECT_EQ(scan.status, CsvScan::Status::Failed);
    EXPECT_FALSE(scan.lines);
    EXPECT_FALSE(scanCsvLines(nullptr).lines);
}

TEST(CsvLines, FileCutShortAfterCountReadsNothing) {
    const QByteArray bytes = "a,b\r\nc,d\r\ne,f\r\n";
    auto buffer = std::make_unique<QBuffer>();
    QBuffer* raw = buffer.get();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    const CsvScan scan = scanCsvLines(std::make_shared<TextFileReader>(std::move(buffer)));
    ASSERT_TRUE(scan.lines);
    raw->buffer().truncate(5);  // only the first line is left
    EXPECT_FALSE(scan.lines->readLine(2));
    EXPECT_FALSE(scan.lines->readLine(0));  // read after the change: not what was counted
    EXPECT_TRUE(scan.lines->fileChanged());
}

}  // namespace
}  // namespace korvane
