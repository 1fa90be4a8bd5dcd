// The shared text-file reader: encoding detection, line rules, and positioned reads that must
// agree with a whole-file split wherever the block cache cuts the file.
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryFile>

namespace korvane {
namespace {

struct SplitCase {
    const char* name;
    QByteArray bytes;
    LineBreaks breaks;
    QStringList lines;
};

class SplitLines : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, GivesTheLines) {
    const SplitCase& c = GetParam();
    const TextFileLines result = splitTextLines(c.bytes);
    EXPECT_EQ(result.breaks, c.breaks);
    EXPECT_EQ(result.lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    TextFile, SplitLines,
    ::testing::Values(
        SplitCase{"Empty", "", LineBreaks::Lf, {}},
        SplitCase{"CrLf", "a\r\nb\r\n", LineBreaks::CrOrCrLf, {"a", "b"}},
        SplitCase{"LoneCr", "a\rb", LineBreaks::CrOrCrLf, {"a", "b"}},
        // Once the file has a CR, a lone LF is an ordinary character of its line.
        SplitCase{"LfInsideCrFile", "a\nb\r\nc", LineBreaks::CrOrCrLf, {"a\nb", "c"}},
        SplitCase{"UnixFile", "a\nb\n", LineBreaks::Lf, {"a", "b"}},
        SplitCase{"NoEndAtLastLine", "a\r\nb", LineBreaks::CrOrCrLf, {"a", "b"}},
        SplitCase{"EmptyLinesKept", "\r\n\r\nx\r\n", LineBreaks::CrOrCrLf, {"", "", "x"}},
        SplitCase{"CrCrLf", "a\r\r\nb", LineBreaks::CrOrCrLf, {"a", "", "b"}},
        SplitCase{"OnlyLineEnd", "\n", LineBreaks::Lf, {""}},
        SplitCase{"BomNotInText", "\xEF\xBB\xBFh\r\n", LineBreaks::CrOrCrLf, {"h"}},
        // Further on, the same bytes are a character of their line (a zero-width space).
        SplitCase{"BomInsideIsText", "a\n\xEF\xBB\xBF\n", LineBreaks::Lf, {"a", u"\uFEFF"_qs}}),
    [](const auto& param) { return std::string(param.param.name); });

struct EncodingCase {
    const char* name;
    QByteArray bytes;
    TextEncoding encoding;
    QString firstLine;
};

class DetectEncoding : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(DetectEncoding, DecodesTheFirstLine) {
    const EncodingCase& c = GetParam();
    EXPECT_EQ(detectTextEncoding(c.bytes), c.encoding);
    const TextFileLines lines = splitTextLines(c.bytes);
    EXPECT_EQ(lines.encoding, c.encoding);
    ASSERT_FALSE(lines.lines.isEmpty());
    if (!c.firstLine.isNull()) {
        EXPECT_EQ(lines.lines.first(), c.firstLine);
    }
}

INSTANTIATE_TEST_SUITE_P(
    TextFile, DetectEncoding,
    ::testing::Values(
        EncodingCase{"Ascii", "abc", TextEncoding::Utf8, "abc"},
        EncodingCase{"Utf8", "\xE6\x9D\xB1\xE4\xBA\xAC", TextEncoding::Utf8, u"東京"_qs},
        EncodingCase{"Utf8Bom", "\xEF\xBB\xBF\xE6\x9D\xB1", TextEncoding::Utf8, u"東"_qs},
        EncodingCase{"ShiftJis", "\x93\x8c\x8b\x9e", TextEncoding::Cp932, u"東京"_qs},
        // Code page 932 extensions: a circled digit and a half-width katakana.
        EncodingCase{"Cp932Extensions", "\x87\x40\xB1", TextEncoding::Cp932, u"①ｱ"_qs},
        // A UTF-8 character cut off at the very end is not UTF-8.
        EncodingCase{"TruncatedUtf8", "ab\xE3\x81", TextEncoding::Cp932, QString()},
        // Overlong forms and encoded surrogates are not valid UTF-8.
        EncodingCase{"Overlong", "\xC0\xAF", TextEncoding::Cp932, QString()},
        EncodingCase{"Surrogate", "\xED\xA0\x80", TextEncoding::Cp932, QString()}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(Utf8Validator, CharacterSplitAcrossPiecesIsValid) {
    const QByteArray text = "x\xE6\x9D\xB1y\xF0\x9F\x98\x80";
    for (int cut = 0; cut <= text.size(); ++cut) {
        Utf8Validator validator;
        validator.feed(QByteArrayView(text).first(cut));
        validator.feed(QByteArrayView(text).sliced(cut));
        EXPECT_TRUE(validator.validAtEnd()) << "cut at " << cut;
    }
    Utf8Validator open;
    open.feed("\xE6\x9D");
    EXPECT_TRUE(open.validSoFar());
    EXPECT_FALSE(open.validAtEnd());
}

// Lines read one by one through the block cache must be the lines of the whole-file split, also
// where a line, a CR LF pair or a multi-byte character straddles a block boundary.
TEST(TextFileReader, PositionedLinesAgreeWithWholeFileSplit) {
    QByteArray bytes;
    for (int i = 0; bytes.size() < 300 * 1024; ++i) {
        bytes += QByteArray(i % 977, 'a') + "\xE6\x9D\xB1" + (i % 5 == 0 ? "\n" : "") + "\r\n";
    }
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write(bytes);
    file.flush();
    const auto reader = TextFileReader::openFile(file.fileName());
    ASSERT_TRUE(reader);
    const TextFileLines expected = splitTextLines(bytes);
    QStringList lines;
    uint64_t position = 0;
    while (const auto span = reader->lineAt(position, expected.breaks)) {
        lines << decodeText(reader->bytes(span->start, span->end), expected.encoding);
        ASSERT_GT(span->next, position);
        position = span->next;
    }
    EXPECT_FALSE(reader->failed());
    EXPECT_EQ(lines, expected.lines);
}

// A device that fails after a few bytes: the reader must report the failure, not loop or crash.
class FailingDevice : public QBuffer {
public:
    explicit FailingDevice(QByteArray* data) : QBuffer(data) {}

protected:
    qint64 readData(char* out, qint64 max) override {
        return pos() >= 8 ? -1 : QBuffer::readData(out, qMin<qint64>(max, 8 - pos()));
    }
};

TEST(TextFileReader, DeviceFailureIsReported) {
    QByteArray data(200 * 1024, 'x');
    auto device = std::make_unique<FailingDevice>(&data);
    ASSERT_TRUE(device->open(QIODevice::ReadOnly));
    TextFileReader reader(std::move(device));
    uint64_t position = 0;
    int guard = 0;
    while (const auto span = reader.lineAt(position, LineBreaks::Lf)) {
        position = span->next;
        ASSERT_LT(++guard, 10);
    }
    EXPECT_TRUE(reader.failed());
}

TEST(TextFileReader, MissingFileGivesNoReader) {
    EXPECT_FALSE(TextFileReader::openFile(QStringLiteral("/no/such/file.csv")));
    EXPECT_FALSE(readTextFileLines(QStringLiteral("/no/such/file.csv")));
}

}  // namespace
}  // namespace korvane
