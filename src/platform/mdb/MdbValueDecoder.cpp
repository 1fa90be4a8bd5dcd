#include "platform/mdb/MdbValueDecoder.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

#include "text/ValueText.h"

namespace korvane {

namespace {

uint64_t littleEndian(const unsigned char* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = (v << 8) | p[i];
    }
    return v;
}

DbValue binary(const char* data, size_t size) {
    DbValue v;
    v.kind = DbValue::Kind::Binary;
    v.bytes = QByteArray(data, static_cast<qsizetype>(size));
    return v;
}

DbValue integer(DbValue::Kind kind, int64_t value) {
    DbValue v;
    v.kind = kind;
    v.integer = value;
    return v;
}

DbValue real(DbValue::Kind kind, double value) {
    DbValue v;
    v.kind = kind;
    v.real = value;
    return v;
}

DbValue text(DbValue::Kind kind, QString value) {
    DbValue v;
    v.kind = kind;
    v.text = std::move(value);
    return v;
}

// A Single shows as the shortest decimal that reads back to the same Single ("0.3", not
// "0.30000001192092896"), so it is widened through that decimal.
double singleAsDouble(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer - 1, value);
    *result.ptr = '\0';
    return std::strtod(buffer, nullptr);
}

}  // namespace

DbValue::Kind dbKindOfMdbType(int type) {
    switch (type) {
        case kMdbBool:
            return DbValue::Kind::Boolean;
        case kMdbByte:
        case kMdbInt:
        case kMdbLong:
            return DbValue::Kind::Integer;
        case kMdbMoney:
            return DbValue::Kind::Currency;
        case kMdbFloat:
        case kMdbDouble:
            return DbValue::Kind::Real;
        case kMdbDateTime:
            return DbValue::Kind::DateTime;
        case kMdbText:
        case kMdbMemo:
            return DbValue::Kind::Text;
        case kMdbGuid:
            return DbValue::Kind::Guid;
        case kMdbNumeric:
            return DbValue::Kind::Decimal;
        default:
            return DbValue::Kind::Binary;
    }
}

QString decodeJetText(const char* data, size_t size) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    if (size >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        QString out;
        out.reserve(static_cast<qsizetype>(size));
        bool compressed = true;
        size_t i = 2;
        while (i < size) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                out.append(QChar(p[i]));
                ++i;
            } else if (i + 1 < size) {
                out.append(QChar(static_cast<char16_t>(p[i] | (p[i + 1] << 8))));
                i += 2;
            } else {
                break;  // half a character at the end of a damaged value
            }
        }
        return out;
    }
    QString out(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    for (size_t i = 0; i + 1 < size; i += 2) {
        out[static_cast<qsizetype>(i / 2)] = QChar(static_cast<char16_t>(p[i] | (p[i + 1] << 8)));
    }
    return out;
}

QString guidText(const unsigned char* b) {
    return QStringLiteral("{%1-%2-%3-%4-%5}")
        .arg(littleEndian(b, 4), 8, 16, QLatin1Char('0'))
        .arg(littleEndian(b + 4, 2), 4, 16, QLatin1Char('0'))
        .arg(littleEndian(b + 6, 2), 4, 16, QLatin1Char('0'))
        .arg(QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(b + 8), 2).toHex()))
        .arg(QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(b + 10), 6).toHex()))
        .toUpper();
}

DbValue decodeMdbValue(int type, int scale, const char* data, size_t size) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    switch (type) {
        case kMdbBool:
            if (size >= 1) {
                return integer(DbValue::Kind::Boolean, p[0] != 0 ? 1 : 0);
            }
            break;
        case kMdbByte:
            if (size == 1) {
                return integer(DbValue::Kind::Integer, p[0]);
            }
            break;
        case kMdbInt:
            if (size == 2) {
                return integer(DbValue::Kind::Integer, static_cast<int16_t>(littleEndian(p, 2)));
            }
            break;
        case kMdbLong:
            if (size == 4) {
                return integer(DbValue::Kind::Integer, static_cast<int32_t>(littleEndian(p, 4)));
            }
            break;
        case kMdbMoney:
            if (size == 8) {
                return integer(DbValue::Kind::Currency, static_cast<int64_t>(littleEndian(p, 8)));
            }
            break;
        case kMdbFloat:
            if (size == 4) {
                float f = 0;
                memcpy(&f, p, 4);
                return real(DbValue::Kind::Real, singleAsDouble(f));
            }
            break;
        case kMdbDouble:
        case kMdbDateTime:
            if (size == 8) {
                double d = 0;
                memcpy(&d, p, 8);
                return real(type == kMdbDouble ? DbValue::Kind::Real : DbValue::Kind::DateTime, d);
            }
            break;
        case kMdbText:
        case kMdbMemo:
            return text(DbValue::Kind::Text, decodeJetText(data, size));
        case kMdbGuid:
            if (size == 16) {
                return text(DbValue::Kind::Guid, guidText(p));
            }
            break;
        case kMdbNumeric:
            // A sign byte (0x80 negative), then a 128-bit magnitude as four little-endian
            // 32-bit words, the most significant word first.
            if (size == 17 && scale >= 0 && scale <= 28) {
                unsigned __int128 magnitude = 0;
                for (int word = 0; word < 4; ++word) {
                    magnitude = (magnitude << 32) | littleEndian(p + 1 + 4 * word, 4);
                }
                return text(DbValue::Kind::Decimal,
                            FixedPointText((p[0] & 0x80) != 0, magnitude, scale));
            }
            break;
        default:
            break;
    }
    // Binary and OLE data, and any value whose size does not fit its type: the bytes as stored.
    return binary(data, size);
}

}  // namespace korvane
