// The positioned line reader and the decoder must give, for any bytes, the lines of the
// whole-file split, whatever the block cache cuts; the encoding found must decode every line.
#include <QBuffer>
#include <cstdint>
#include <cstdlib>

#include "text/TextFile.h"

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
    check(detectTextEncoding(bytes) == reference.encoding);

    // The block check and the byte-by-byte check agree, whatever pieces they are fed in.
    Utf8Validator whole(Utf8Validator::Method::Scalar);
    whole.feed(bytes);
    const bool valid = whole.validAtEnd();
    check(startsWithUtf8Bom(bytes) || valid == (reference.encoding == TextEncoding::Utf8));
    for (const size_t piece : {size_t{1}, size_t{5}, size_t{16}, size_t{17}, size_t{4096}}) {
        for (const auto method : {Utf8Validator::Method::Fastest, Utf8Validator::Method::Scalar}) {
            Utf8Validator validator(method);
            bool validBefore = true;
            for (size_t at = 0; at < size; at += piece) {
                validator.feed(
                    QByteArrayView(bytes.constData() + at,
                                   static_cast<qsizetype>(std::min<size_t>(piece, size - at))));
                // Once invalid, always invalid.
                check(validBefore || !validator.validSoFar());
                validBefore = validator.validSoFar();
            }
            check(validator.validAtEnd() == valid);
            check(valid ? validator.validSoFar() : true);
        }
    }

    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    const TextFileReader reader(std::move(buffer));
    uint64_t position = startsWithUtf8Bom(bytes) ? kUtf8BomSize : 0;
    qsizetype line = 0;
    while (const std::optional<LineSpan> span = reader.lineAt(position, reference.breaks)) {
        check(line < reference.lines.size());
        check(span->start <= span->end && span->end < span->next + 1 && span->next > position);
        const QString text = decodeText(reader.bytes(span->start, span->end), reference.encoding);
        check(text == reference.lines[line]);
        position = span->next;
        ++line;
    }
    check(line == reference.lines.size());
    check(!reader.failed());
    return 0;
}
