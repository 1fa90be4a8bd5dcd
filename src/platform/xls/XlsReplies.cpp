#include "platform/xls/XlsReplies.h"

#include <QFile>
#include <QSysInfo>
#include <cstring>

#include "platform/xls/XlsProtocol.h"

namespace korvane::xls {

namespace {

using frameproto::PayloadReader;

std::optional<QString> readText(PayloadReader& reader) {
    const char* data = nullptr;
    uint32_t size = 0;
    if (!reader.bytes(&data, &size)) {
        return std::nullopt;
    }
    return decodeText(data, size);
}

void appendUtf16le(std::string& out, const QString& text) {
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        out.append(reinterpret_cast<const char*>(text.utf16()),
                   static_cast<size_t>(text.size()) * 2);
    } else {
        for (const QChar c : text) {
            const char16_t unit = c.unicode();
            out.push_back(static_cast<char>(unit & 0xFF));
            out.push_back(static_cast<char>(unit >> 8));
        }
    }
}

PayloadReader readerOf(const QByteArray& payload) {
    return PayloadReader(payload.constData(), static_cast<size_t>(payload.size()));
}

}  // namespace

std::string encodeText(const QString& text) {
    std::string bytes;
    appendUtf16le(bytes, text);
    return bytes;
}

void putText(std::string& out, const QString& text) {
    frameproto::putU32(out, static_cast<uint32_t>(text.size()) * 2);
    appendUtf16le(out, text);
}

std::optional<QString> decodeText(const char* data, size_t size) {
    if (size % 2 != 0) {
        return std::nullopt;
    }
    QString text(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        if (size > 0) {
            std::memcpy(text.data(), data, size);
        }
        return text;
    }
    auto* out = reinterpret_cast<char16_t*>(text.data());
    const auto* in = reinterpret_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size / 2; ++i) {
        out[i] = static_cast<char16_t>(in[2 * i] | (in[2 * i + 1] << 8));
    }
    return text;
}

QByteArray openRequest(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    std::string request(1, xlsproto::kOpenWorkbook);
    frameproto::putString(request, name.constData(), static_cast<size_t>(name.size()));
    return QByteArray(request.data(), static_cast<qsizetype>(request.size()));
}

QByteArray cellsRequest(const QString& sheet, const CellRectangle& rectangle) {
    std::string request(1, xlsproto::kCells);
    putText(request, sheet);
    xlsproto::putI64(request, rectangle.firstRow);
    xlsproto::putI64(request, rectangle.lastRow);
    xlsproto::putI64(request, rectangle.firstColumn);
    xlsproto::putI64(request, rectangle.lastColumn);
    return QByteArray(request.data(), static_cast<qsizetype>(request.size()));
}

std::optional<QStringList> decodeWorkbookReply(const QByteArray& payload) {
    PayloadReader reader = readerOf(payload);
    const uint32_t count = reader.u32();
    // Each name takes at least its length field.
    if (!reader.ok() || count > reader.remaining() / 4) {
        return std::nullopt;
    }
    QStringList names;
    names.reserve(static_cast<qsizetype>(count));
    for (uint32_t i = 0; i < count; ++i) {
        std::optional<QString> name = readText(reader);
        if (!name) {
            return std::nullopt;
        }
        names << *name;
    }
    if (!reader.atEnd()) {
        return std::nullopt;
    }
    return names;
}

std::optional<CellBand> decodeCellsReply(const QByteArray& payload, const CellRectangle& asked) {
    PayloadReader reader = readerOf(payload);
    CellBand band;
    band.lastRowCovered = xlsproto::readI64(reader);
    const uint32_t count = reader.u32();
    if (!reader.ok() || band.lastRowCovered < asked.firstRow ||
        band.lastRowCovered > asked.lastRow ||
        count > reader.remaining() / xlsproto::kMinEntrySize) {
        return std::nullopt;
    }
    band.entries.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        BandEntry entry;
        entry.row = xlsproto::readI64(reader);
        entry.column = xlsproto::readI64(reader);
        const uint8_t kind = reader.u8();
        std::optional<QString> text = readText(reader);
        if (!text || entry.row < asked.firstRow || entry.row > band.lastRowCovered ||
            entry.column < asked.firstColumn || entry.column > asked.lastColumn ||
            (kind != xlsproto::kCellText && kind != xlsproto::kCellFailure)) {
            return std::nullopt;
        }
        entry.failed = kind == xlsproto::kCellFailure;
        entry.text = std::move(*text);
        band.entries.push_back(std::move(entry));
    }
    if (!reader.atEnd()) {
        return std::nullopt;
    }
    return band;
}

std::optional<QString> decodeErrorReply(const QByteArray& payload) {
    PayloadReader reader = readerOf(payload);
    std::optional<QString> description = readText(reader);
    if (!description || !reader.atEnd()) {
        return std::nullopt;
    }
    return description;
}

}  // namespace korvane::xls
