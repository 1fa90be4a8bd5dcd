// The decoding of the database reader's replies on any bytes: a reader that read a damaged file
// may send anything, and the viewer must neither crash nor read past a frame. The first byte
// picks the frame kind; a row is decoded against a header from the same input when that header
// is sound, else against one column of every stored type; Jet 4 text, or Jet 3 text in code page
// 932 or 1252.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/mdb/DbValueText.h"
#include "platform/mdb/MdbReplies.h"
#include "platform/mdb/MdbValueDecoder.h"

namespace {

std::vector<korvane::MdbColumnInfo> everyType() {
    std::vector<korvane::MdbColumnInfo> columns;
    for (int type : {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0F,
                     0x10, 0x00, 0x7F}) {
        korvane::MdbColumnInfo column;
        column.type = type;
        column.scale = type == 0x10 ? 4 : 0;
        columns.push_back(column);
    }
    return columns;
}

void showRow(const QByteArray& payload, const std::vector<korvane::MdbColumnInfo>& columns,
             const korvane::JetText& text) {
    std::vector<korvane::DbValue> row;
    if (korvane::decodeRowReply(payload, columns, row, text)) {
        if (row.size() != columns.size()) {
            std::abort();
        }
        for (const korvane::DbValue& value : row) {
            korvane::DbValueText(value);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const QByteArray payload(reinterpret_cast<const char*>(data + 1),
                             static_cast<qsizetype>(size - 1));
    const int textKind = data[0] / 5 % 3;
    const korvane::JetText text =
        textKind == 0 ? korvane::JetText() : korvane::JetText(0, textKind == 1 ? 932 : 1252);
    switch (data[0] % 5) {
        case 0:
            korvane::decodeDatabaseReply(payload);
            break;
        case 1:
            korvane::decodeTableHeader(payload, text);
            break;
        case 2:
            korvane::decodeErrorReply(payload);
            break;
        case 3:
            showRow(payload, everyType(), text);
            break;
        default: {
            // A header of the length in the second byte, then one row.
            const qsizetype headerSize = payload.isEmpty() ? 0 : static_cast<uint8_t>(payload[0]);
            const QByteArray rest = payload.mid(1);
            const auto header = korvane::decodeTableHeader(rest.left(headerSize), text);
            showRow(rest.mid(headerSize), header ? header->columns : everyType(), text);
            break;
        }
    }
    return 0;
}
