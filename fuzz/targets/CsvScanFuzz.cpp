// The fast line scan must give, for any bytes, the lines of the whole-file split, each line the
// number of fields SplitCsvLine cuts from it, and rows whose fields are those of SplitCsvLine.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvane;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const TextFileLines reference = splitTextLines(bytes);

    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    const CsvScan scan = scanCsvLines(std::make_shared<TextFileReader>(std::move(buffer)));
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
