#pragma once
// Decoding of korvane-xls-reader's replies. Every length and place is checked against the
// payload and the request it answers; a reply that fails a check is no reply at all.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/xls/XlsResult.h"

namespace korvane::xls {

// The rectangle a cells request asked for, 1-based and inclusive.
struct CellRectangle {
    int64_t firstRow = 1;
    int64_t lastRow = 1;
    int64_t firstColumn = 1;
    int64_t lastColumn = 1;
};

struct BandEntry {
    int64_t row = 0;
    int64_t column = 0;
    QString text;
    std::optional<Failure> failure;  // why the cell has no text; `text` is then empty
};

struct CellBand {
    int64_t lastRowCovered = 0;
    std::vector<BandEntry> entries;
};

// Texts on the pipe: UTF-16LE bytes.
std::string encodeText(const QString& text);
// A text as a string of the protocol (length, then UTF-16LE bytes) at the end of `out`.
void putText(std::string& out, const QString& text);
// A failure of the workbook reader as the protocol carries it, at the end of `out`. A failure of
// another area (none reaches the reader) goes as a cause the viewer takes for a garbled reply.
void putFailure(std::string& out, const Failure& failure);
// Back from UTF-16LE bytes; nothing when the byte count is odd.
std::optional<QString> decodeText(const char* data, size_t size);

// A request, ready to send.
QByteArray openRequest(const QString& path);
QByteArray cellsRequest(const QString& sheet, const CellRectangle& rectangle);

// kWorkbook: the sheet names.
std::optional<QStringList> decodeWorkbookReply(const QByteArray& payload);
// kCells for `asked`: the cells, each inside the rows covered and the columns asked.
std::optional<CellBand> decodeCellsReply(const QByteArray& payload, const CellRectangle& asked);
// kError: the failure, rebuilt from its cause and details. Nothing for a cause this build does
// not know or a detail count that does not fit the cause's text.
std::optional<Failure> decodeErrorReply(const QByteArray& payload);

}  // namespace korvane::xls
