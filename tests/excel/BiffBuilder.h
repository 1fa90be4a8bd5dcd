#pragma once
// Writes small bare BIFF streams record by record, so tests can give the workbook reader the
// exact records (and the exact damage) a case needs.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstring>
#include <vector>

namespace korvane::test {

inline QByteArray u16(uint16_t v) {
    QByteArray b(2, '\0');
    b[0] = static_cast<char>(v & 0xFF);
    b[1] = static_cast<char>(v >> 8);
    return b;
}

inline QByteArray u32(uint32_t v) {
    return u16(static_cast<uint16_t>(v & 0xFFFF)) + u16(static_cast<uint16_t>(v >> 16));
}

inline QByteArray f64(double v) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return u32(static_cast<uint32_t>(bits)) + u32(static_cast<uint32_t>(bits >> 32));
}

inline QByteArray record(uint16_t type, const QByteArray& data) {
    return u16(type) + u16(static_cast<uint16_t>(data.size())) + data;
}

// A BIFF8 string body: option byte, then the characters one byte each (`wide` false) or two.
inline QByteArray chars8(const QString& text, bool wide) {
    QByteArray b(1, wide ? '\x01' : '\x00');
    for (QChar c : text) {
        b += wide ? u16(c.unicode()) : QByteArray(1, static_cast<char>(c.unicode()));
    }
    return b;
}

inline QByteArray unicode16(const QString& text, bool wide = true) {
    return u16(static_cast<uint16_t>(text.size())) + chars8(text, wide);
}

inline QByteArray cellHead(uint16_t row0, uint16_t col0, uint16_t xf = 0) {
    return u16(row0) + u16(col0) + u16(xf);
}

inline QByteArray numberCell(uint16_t row0, uint16_t col0, double v, uint16_t xf = 0) {
    return record(0x0203, cellHead(row0, col0, xf) + f64(v));
}

inline QByteArray labelCell(uint16_t row0, uint16_t col0, const QString& text) {
    return record(0x0204, cellHead(row0, col0) + unicode16(text));
}

inline QByteArray boolErrCell(uint16_t row0, uint16_t col0, uint8_t value, bool isError) {
    QByteArray data = cellHead(row0, col0);
    data += static_cast<char>(value);
    data += static_cast<char>(isError ? 1 : 0);
    return record(0x0205, data);
}

// A FORMULA record whose 8-byte cached result is `result`.
inline QByteArray formulaCell(uint16_t row0, uint16_t col0, const QByteArray& result) {
    return record(0x0006, cellHead(row0, col0) + result + u16(0) + u32(0) + u16(0));
}

// Cached non-number results: type byte, then the value byte, then FF FF in the top bytes.
inline QByteArray specialResult(uint8_t type, uint8_t value) {
    QByteArray r(8, '\0');
    r[0] = static_cast<char>(type);
    r[2] = static_cast<char>(value);
    r[6] = '\xFF';
    r[7] = '\xFF';
    return r;
}

struct SheetParts {
    QString name;
    uint8_t kind = 0;  // 0 worksheet, 2 chart
    QByteArray cells;  // the records between the sheet's BOF and EOF
};

// A bare workbook stream: the globals (BOF, `globals`, BOUNDSHEETs, EOF), then each sheet.
// `biff` is 8 or 5; BIFF5 names are single bytes per character (Latin-1 here).
inline QByteArray workbookStream(const QByteArray& globals, const std::vector<SheetParts>& sheets,
                                 int biff = 8) {
    const uint16_t version = biff == 8 ? 0x0600 : 0x0500;
    const QByteArray bofGlobals = record(0x0809, u16(version) + u16(0x0005) + u16(0) + u16(0) +
                                                     (biff == 8 ? u32(0) + u32(0) : QByteArray()));
    std::vector<QByteArray> names;
    for (const SheetParts& sheet : sheets) {
        QByteArray name(1, static_cast<char>(sheet.name.size()));
        name += biff == 8 ? chars8(sheet.name, true) : sheet.name.toLatin1();
        names.push_back(name);
    }
    size_t boundSize = 0;
    for (const QByteArray& name : names) {
        boundSize += 4 + 6 + static_cast<size_t>(name.size());
    }
    const QByteArray eof = record(0x000A, QByteArray());
    uint32_t offset =
        static_cast<uint32_t>(bofGlobals.size() + globals.size() + boundSize + eof.size());
    QByteArray bound;
    QByteArray bodies;
    for (size_t i = 0; i < sheets.size(); ++i) {
        bound += record(0x0085, u32(offset) + QByteArray(1, '\0') +
                                    QByteArray(1, static_cast<char>(sheets[i].kind)) + names[i]);
        const QByteArray body =
            record(0x0809,
                   u16(version) + u16(sheets[i].kind == 2 ? 0x0020 : 0x0010) + u16(0) + u16(0)) +
            sheets[i].cells + eof;
        bodies += body;
        offset += static_cast<uint32_t>(body.size());
    }
    return bofGlobals + globals + bound + eof + bodies;
}

}  // namespace korvane::test
