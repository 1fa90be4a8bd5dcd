#pragma once
// Decoding of the reply frames that korvane-mdb-reader sends. Every frame comes from a process
// that may have read a damaged file, so each decoder checks every length and returns nothing
// rather than reading past the payload.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/DbObjectKind.h"
#include "platform/DbValue.h"
#include "platform/mdb/JetText.h"
#include "platform/mdb/MdbTexts.h"

namespace korvane {

struct MdbCatalogueEntry {
    QString name;  // as stored
    int type = 0;  // MSysObjects.Type as stored
    uint32_t flags = 0;
    DbObjectKind kind() const { return dbObjectKind(type, flags); }
};

// kDatabase: the format version, how its text reads, and the catalogue.
struct MdbDatabaseReply {
    int jetVersion = -1;  // 0 Jet 3, 1 Jet 4, higher: later formats
    JetText text;         // the decoding of the file's names and text values
    std::vector<MdbCatalogueEntry> entries;
};

struct MdbColumnInfo {
    QString name;
    int type = 0;
    int size = 0;
    int scale = 0;
    int precision = 0;
};

// kTableHeader: the row count the table declares and its columns.
struct MdbTableHeader {
    uint64_t declaredRows = 0;
    std::vector<MdbColumnInfo> columns;
};

std::optional<MdbDatabaseReply> decodeDatabaseReply(const QByteArray& payload);
// `text` is the database's (from its kDatabase reply).
std::optional<MdbTableHeader> decodeTableHeader(const QByteArray& payload,
                                                const JetText& text = JetText());
// kRow: one value per column into `row`; false when the payload does not match the columns.
bool decodeRowReply(const QByteArray& payload, const std::vector<MdbColumnInfo>& columns,
                    std::vector<DbValue>& row, const JetText& text = JetText());
// kError: the cause the reader names, or UnreadableErrorReply when the frame is garbled.
Failure decodeErrorReply(const QByteArray& payload);

}  // namespace korvane
