#include "platform/xls/XlsReplies.h"

#include <QFile>
#include <QSysInfo>
#include <cstring>

#include "platform/xls/XlsFault.h"
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

// A failure: its cause must be one of ours and its details exactly what the cause's text takes,
// so a rebuilt failure always has whole words.
std::optional<Failure> readFailure(PayloadReader& reader) {
    const uint32_t cause = reader.u32();
    const uint32_t count = reader.u32();
    if (!reader.ok() || cause >= static_cast<uint32_t>(XlsFault::Count)) {
        return std::nullopt;
    }
    const auto fault = static_cast<XlsFault>(cause);
    if (count != static_cast<uint32_t>(faultDetailCount(fault))) {
        return std::nullopt;
    }
    QStringList details;
    for (uint32_t i = 0; i < count; ++i) {
        std::optional<QString> detail = readText(reader);
        if (!detail) {
            return std::nullopt;
        }
        details << *detail;
    }
    return Failure(fault, std::move(details));
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

void putFailure(std::string& out, const Failure& failure) {
    const std::optional<XlsFault> cause = xlsFaultOf(failure);
    frameproto::putU32(out, static_cast<uint32_t>(cause.value_or(XlsFault::Count)));
    const QStringList& details = cause ? failure.details() : QStringList();
    frameproto::putU32(out, static_cast<uint32_t>(details.size()));
    for (const QString& detail : details) {
        putText(out, detail);
    }
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
        if (entry.row < asked.firstRow || entry.row > band.lastRowCovered ||
            entry.column < asked.firstColumn || entry.column > asked.lastColumn) {
            return std::nullopt;
        }
        if (kind == xlsproto::kCellText) {
            std::optional<QString> text = readText(reader);
            if (!text) {
                return std::nullopt;
            }
            entry.text = std::move(*text);
        } else if (kind == xlsproto::kCellFailure) {
            entry.failure = readFailure(reader);
            if (!entry.failure) {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
        band.entries.push_back(std::move(entry));
    }
    if (!reader.atEnd()) {
        return std::nullopt;
    }
    return band;
}

std::optional<Failure> decodeErrorReply(const QByteArray& payload) {
    PayloadReader reader = readerOf(payload);
    std::optional<Failure> failure = readFailure(reader);
    if (!failure || !reader.atEnd()) {
        return std::nullopt;
    }
    return failure;
}

}  // namespace korvane::xls
