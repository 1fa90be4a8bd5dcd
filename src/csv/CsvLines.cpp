#include "csv/CsvLines.h"

#include <algorithm>

#include "csv/CsvLineCounter.h"
#include "text/BlockSum.h"

namespace korvane {

namespace {

// Large reads keep the scan near memory speed while holding only one buffer. A whole number of
// the reader's blocks, so that each read yields the sums of whole blocks.
constexpr int64_t kScanChunk = 64 * TextFileReader::kBlockSize;

struct PassResult {
    CsvScan::Status status = CsvScan::Status::Failed;
    bool restartWithCr = false;
};

}  // namespace

CsvLines::CsvLines(std::shared_ptr<const TextFileReader> reader, TextEncoding encoding,
                   LineBreaks breaks, int64_t lineCount, int64_t maxFieldCount,
                   std::vector<uint64_t> marks)
    : m_reader(std::move(reader)),
      m_encoding(encoding),
      m_breaks(breaks),
      m_lineCount(lineCount),
      m_maxFieldCount(maxFieldCount),
      m_marks(std::move(marks)) {}

std::optional<QByteArray> CsvLines::readLineBytes(int64_t line, int64_t maxBytes, bool* cut) const {
    if (cut != nullptr) {
        *cut = false;
    }
    if (!m_reader || line < 0 || line >= m_lineCount) {
        return std::nullopt;
    }
    uint64_t start = 0;
    int64_t at = 0;
    if (m_cursorLine >= 0 && line == m_cursorLine) {
        start = m_cursorStart;
        at = line;
    } else if (m_cursorLine >= 0 && m_cursorLine < line &&
               line - m_cursorLine <= CsvLineCounter::kLinesPerMark) {
        start = m_cursorNext;
        at = m_cursorLine + 1;
    } else {
        const size_t mark = static_cast<size_t>(line / CsvLineCounter::kLinesPerMark);
        if (mark >= m_marks.size()) {
            return std::nullopt;
        }
        start = m_marks[mark];
        at = static_cast<int64_t>(mark) * CsvLineCounter::kLinesPerMark;
    }
    while (at < line) {
        const std::optional<LineSpan> skipped = m_reader->lineAt(start, m_breaks);
        if (!skipped) {
            return std::nullopt;  // cannot be read as it was counted
        }
        start = skipped->next;
        ++at;
    }
    const std::optional<LineSpan> span = m_reader->lineAt(start, m_breaks);
    if (!span) {
        return std::nullopt;
    }
    m_cursorLine = line;
    m_cursorStart = span->start;
    m_cursorNext = span->next;
    uint64_t end = span->end;
    if (maxBytes >= 0 && span->start + static_cast<uint64_t>(maxBytes) < end) {
        end = span->start + static_cast<uint64_t>(maxBytes);
        if (cut != nullptr) {
            *cut = true;
        }
    }
    QByteArray bytes = m_reader->bytes(span->start, end);
    if (bytes.isEmpty() && end > span->start) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<QString> CsvLines::readLine(int64_t line, int64_t maxBytes) const {
    // A line cut short may end inside a character: what is left of it is dropped rather than
    // shown as a replacement. A whole line keeps every byte it holds, 0x1A included.
    bool cut = false;
    const std::optional<QByteArray> bytes = readLineBytes(line, maxBytes, &cut);
    if (!bytes) {
        return std::nullopt;
    }
    return decodeText(*bytes, m_encoding, cut ? DecodeEnd::CutShort : DecodeEnd::Whole);
}

QString CsvLines::lineText(int64_t line, int64_t maxBytes) const {
    return readLine(line, maxBytes).value_or(QString());
}

CsvScan scanCsvLinesReference(std::shared_ptr<TextFileReader> reader,
                              const std::function<bool(double)>& progress) {
    CsvScan result;
    if (!reader) {
        return result;
    }
    const uint64_t size = reader->size();
    char head[kUtf8BomSize] = {};
    const int64_t headSize = reader->readAt(0, head, static_cast<int64_t>(kUtf8BomSize));
    if (headSize < 0) {
        return result;
    }
    const bool hasBom = startsWithUtf8Bom(QByteArrayView(head, headSize));
    const uint64_t firstLineStart = hasBom ? kUtf8BomSize : 0;
    // No larger than the file, and not cleared: every byte used is read first.
    const int64_t bufferSize = std::max<int64_t>(1, std::min<int64_t>(kScanChunk, size));
    std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(bufferSize)]);

    // Lines end at LF unless the file holds a CR somewhere; the first CR seen sends the count
    // back to the start with CR line ends. Files with CR mostly show one in their first line.
    std::vector<uint64_t> sums;
    auto countPass = [&](CsvLineCounter& counter, Utf8Validator& validator) {
        PassResult pass;
        sums.clear();
        uint64_t position = 0;
        while (position < size) {
            const int64_t want =
                std::min<int64_t>(bufferSize, static_cast<int64_t>(size - position));
            const int64_t got = reader->readAt(position, buffer.get(), want);
            if (got < 0) {
                return pass;
            }
            if (got == 0) {
                break;  // the file was cut short meanwhile: count what is there
            }
            for (int64_t block = 0; block < got; block += TextFileReader::kBlockSize) {
                sums.push_back(
                    blockSum(buffer.get() + block, static_cast<size_t>(std::min<int64_t>(
                                                       TextFileReader::kBlockSize, got - block))));
            }
            const int64_t skip = position == 0 ? static_cast<int64_t>(firstLineStart) : 0;
            counter.feed(buffer.get() + skip, static_cast<size_t>(got - skip));
            if (!hasBom && validator.validSoFar()) {
                validator.feed(QByteArrayView(buffer.get(), got));
            }
            position += static_cast<uint64_t>(got);
            if (counter.sawCr()) {
                pass.restartWithCr = true;
                pass.status = CsvScan::Status::Done;
                return pass;
            }
            if (progress && !progress(static_cast<double>(position) / static_cast<double>(size))) {
                pass.status = CsvScan::Status::Cancelled;
                return pass;
            }
        }
        counter.finish();
        pass.status = CsvScan::Status::Done;
        return pass;
    };

    LineBreaks breaks = LineBreaks::Lf;
    for (;;) {
        CsvLineCounter counter(breaks, firstLineStart, CsvScanMethod::Scalar);
        Utf8Validator validator(Utf8Validator::Method::Scalar);
        const PassResult pass = countPass(counter, validator);
        if (pass.status != CsvScan::Status::Done) {
            result.status = pass.status;
            return result;
        }
        if (pass.restartWithCr && breaks == LineBreaks::Lf) {
            breaks = LineBreaks::CrOrCrLf;
            continue;
        }
        const TextEncoding encoding =
            hasBom || validator.validAtEnd() ? TextEncoding::Utf8 : TextEncoding::Cp932;
        reader->expectBlockSums(std::move(sums));
        result.status = CsvScan::Status::Done;
        result.lines =
            std::make_shared<const CsvLines>(reader, encoding, breaks, counter.lineCount(),
                                             counter.maxFieldCount(), counter.takeMarks());
        return result;
    }
}

}  // namespace korvane
