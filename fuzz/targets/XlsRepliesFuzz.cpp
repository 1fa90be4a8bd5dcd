// The decoding of the workbook reader's replies on any bytes: a reader that read a damaged file
// may send anything, and the viewer must neither crash nor read past a frame. The first byte
// picks the frame kind; a cells reply is decoded against a rectangle taken from the next bytes,
// and every cell it yields must lie inside what was asked. A failure rebuilt from a reply, of
// the open or of a cell, always has words.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "platform/xls/XlsReplies.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const QByteArray payload(reinterpret_cast<const char*>(data + 1),
                             static_cast<qsizetype>(size - 1));
    switch (data[0] % 3) {
        case 0:
            korvane::xls::decodeWorkbookReply(payload);
            break;
        case 1:
            if (const auto failure = korvane::xls::decodeErrorReply(payload)) {
                if (failure->text().isEmpty()) {
                    std::abort();
                }
            }
            break;
        default: {
            // Four bytes shape the rectangle: first row, row count, first column, column count.
            if (payload.size() < 4) {
                return 0;
            }
            const auto byte = [&payload](int i) { return static_cast<uint8_t>(payload[i]); };
            const korvane::xls::CellRectangle asked{byte(0), byte(0) + byte(1), byte(2),
                                                    byte(2) + byte(3)};
            const auto band = korvane::xls::decodeCellsReply(payload.mid(4), asked);
            if (band) {
                for (const auto& entry : band->entries) {
                    if (entry.row < asked.firstRow || entry.row > band->lastRowCovered ||
                        entry.column < asked.firstColumn || entry.column > asked.lastColumn ||
                        (entry.failure && entry.failure->text().isEmpty())) {
                        std::abort();
                    }
                }
            }
            break;
        }
    }
    return 0;
}
