// The fast line scan must give, for any bytes, the lines of the whole-file split, each line the
// number of fields SplitCsvLine cuts from it, and rows whose fields are those of SplitCsvLine;
// and every way of running it (AVX2, SSE2, byte by byte; in chunks of any size on two threads)
// must give exactly the result of the plain one-pass reference.
#include <QBuffer>
#include <cstdint>
#include <cstdlib>

#include "csv/CsvLineCounter.h"
#include "csv/CsvLines.h"
#include "csv/CsvRowSource.h"
#include "text/CsvText.h"

namespace {

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

std::shared_ptr<korvane::TextFileReader> ReaderOf(const QByteArray& bytes) {
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    return std::make_shared<korvane::TextFileReader>(std::move(buffer));
}

void checkEveryWayAgrees(const QByteArray& bytes) {
    using namespace korvane;
    const CsvScan plain = scanCsvLinesReference(ReaderOf(bytes));
    check(plain.status == CsvScan::Status::Done && plain.lines != nullptr);
    const auto size = static_cast<uint64_t>(bytes.size());
    // A chunk size taken from the input itself, so that the fuzzer moves the borders too.
    const uint64_t fromInput = size > 0 ? 1 + static_cast<uint8_t>(bytes[0]) % 13 : 1;
    for (const CsvScanMethod method :
         {CsvScanMethod::Scalar, CsvScanMethod::Sse2, CsvScanMethod::Avx2}) {
        for (const uint64_t chunkBytes : {fromInput, uint64_t{64}, size / 2 + 1}) {
            CsvScanOptions options;
            options.method = method;
            options.threads = 2;
            options.chunkBytes = chunkBytes;
            const CsvScan scan = scanCsvLines(ReaderOf(bytes), {}, options);
            check(scan.status == CsvScan::Status::Done && scan.lines != nullptr);
            check(scan.lines->lineCount() == plain.lines->lineCount());
            check(scan.lines->maxFieldCount() == plain.lines->maxFieldCount());
            check(scan.lines->encoding() == plain.lines->encoding());
            check(scan.lines->lineBreaks() == plain.lines->lineBreaks());
            check(scan.lines->marks() == plain.lines->marks());
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvane;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const TextFileLines reference = splitTextLines(bytes);

    checkEveryWayAgrees(bytes);
    const CsvScan scan = scanCsvLines(ReaderOf(bytes));
    check(scan.status == CsvScan::Status::Done && scan.lines != nullptr);
    const CsvLines& lines = *scan.lines;
    check(lines.lineCount() == reference.lines.size());
    check(lines.encoding() == reference.encoding);
    check(lines.lineBreaks() == reference.breaks);

    const uint64_t first = startsWithUtf8Bom(bytes) ? kUtf8BomSize : 0;
    CsvLineCounter counter(reference.breaks, first);
    std::vector<int64_t> counts;
    counter.recordFieldCounts(&counts);
    counter.feed(bytes.constData() + first, size - first);
    counter.finish();
    check(counts.size() == static_cast<size_t>(reference.lines.size()));

    const CsvRowSource rows(scan.lines, 0);
    int64_t widest = 0;
    for (qsizetype i = 0; i < reference.lines.size(); ++i) {
        const QStringList fields = SplitCsvLine(reference.lines[i]);
        widest = std::max<int64_t>(widest, fields.size());
        check(counts[static_cast<size_t>(i)] == fields.size());
        check(lines.lineText(i) == reference.lines[i]);
        check(rows.subItems(i, 1 << 30) == fields);
        check(rows.subItems(i, 2) == fields.mid(0, 2));
    }
    check(lines.maxFieldCount() == widest);
    // Backwards, so the row access starts again from its marks.
    for (qsizetype i = reference.lines.size() - 1; i >= 0; i -= 7) {
        check(lines.lineText(i) == reference.lines[i]);
    }
    return 0;
}
