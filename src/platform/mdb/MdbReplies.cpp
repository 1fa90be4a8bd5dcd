#include "platform/mdb/MdbReplies.h"

#include "platform/mdb/MdbProtocol.h"
#include "platform/mdb/MdbValueDecoder.h"

namespace korvane {

namespace {

// No real catalogue or table comes near these; a larger count is a garbled frame, and checking
// it first keeps a garbled count from reserving memory.
constexpr uint32_t kMaxEntries = 1u << 20;
constexpr uint32_t kMaxColumns = 4096;

QString name(mdbproto::PayloadReader& reader, const JetText& text) {
    const char* data = nullptr;
    uint32_t size = 0;
    if (!reader.bytes(&data, &size)) {
        return {};
    }
    return text.name(data, size);
}

}  // namespace

std::optional<MdbDatabaseReply> decodeDatabaseReply(const QByteArray& payload) {
    mdbproto::PayloadReader reader(payload.constData(), static_cast<size_t>(payload.size()));
    MdbDatabaseReply reply;
    reply.jetVersion = static_cast<int>(reader.u32());
    const uint32_t codePage = reader.u32();
    const uint32_t count = reader.u32();
    if (!reader.ok() || count > kMaxEntries) {
        return std::nullopt;
    }
    reply.text = JetText(reply.jetVersion, static_cast<int>(codePage & 0xFFFF));
    for (uint32_t i = 0; i < count && reader.ok(); ++i) {
        MdbCatalogueEntry entry;
        entry.name = name(reader, reply.text);
        entry.type = static_cast<int32_t>(reader.u32());
        entry.flags = reader.u32();
        reply.entries.push_back(std::move(entry));
    }
    if (!reader.ok() || !reader.atEnd()) {
        return std::nullopt;
    }
    return reply;
}

std::optional<MdbTableHeader> decodeTableHeader(const QByteArray& payload, const JetText& text) {
    mdbproto::PayloadReader reader(payload.constData(), static_cast<size_t>(payload.size()));
    MdbTableHeader header;
    header.declaredRows = reader.u32();
    const uint32_t count = reader.u32();
    if (!reader.ok() || count > kMaxColumns) {
        return std::nullopt;
    }
    for (uint32_t i = 0; i < count && reader.ok(); ++i) {
        MdbColumnInfo column;
        column.name = name(reader, text);
        column.type = reader.u8();
        column.size = static_cast<int>(reader.u32());
        column.scale = reader.u8();
        column.precision = reader.u8();
        header.columns.push_back(std::move(column));
    }
    if (!reader.ok() || !reader.atEnd()) {
        return std::nullopt;
    }
    return header;
}

bool decodeRowReply(const QByteArray& payload, const std::vector<MdbColumnInfo>& columns,
                    std::vector<DbValue>& row, const JetText& text) {
    mdbproto::PayloadReader reader(payload.constData(), static_cast<size_t>(payload.size()));
    row.resize(columns.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        const uint8_t presence = reader.u8();
        if (!reader.ok() || presence > 1) {
            return false;
        }
        if (presence == 0) {
            row[i] = DbValue();
            continue;
        }
        const char* data = nullptr;
        uint32_t size = 0;
        if (!reader.bytes(&data, &size)) {
            return false;
        }
        const int type = columns[i].type;
        if (type == kMdbText || type == kMdbMemo) {
            row[i].kind = DbValue::Kind::Text;
            row[i].text = text.value(data, size);
        } else {
            row[i] = decodeMdbValue(type, columns[i].scale, data, size);
        }
    }
    return reader.atEnd();
}

Failure decodeErrorReply(const QByteArray& payload) {
    mdbproto::PayloadReader reader(payload.constData(), static_cast<size_t>(payload.size()));
    const uint32_t cause = reader.u32();
    if (!reader.ok() || !reader.atEnd() || cause == 0 ||
        cause > static_cast<uint32_t>(MdbFault::LastFromReader)) {
        return Failure{MdbFault::UnreadableErrorReply};
    }
    return Failure{static_cast<MdbFault>(cause)};
}

}  // namespace korvane
