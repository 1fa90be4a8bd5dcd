#include "text/Cp932.h"

#include <cstdint>
#include <cstring>

#include "text/Cp932Table.h"

namespace korvane {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

// The row of a lead byte in the pair table, or -1 when the byte does not start a pair.
inline int leadIndex(uint8_t byte) {
    if (byte >= 0x81 && byte <= 0x9F) {
        return byte - 0x81;
    }
    if (byte >= 0xE0 && byte <= 0xFC) {
        return byte - 0xE0 + 31;
    }
    return -1;
}

// The column of a trail byte in the pair table, or -1 when the byte cannot end a pair.
inline int trailIndex(uint8_t byte) {
    if (byte >= 0x40 && byte <= 0x7E) {
        return byte - 0x40;
    }
    if (byte >= 0x80 && byte <= 0xFC) {
        return byte - 0x80 + 63;
    }
    return -1;
}

}  // namespace

QString decodeCp932(QByteArrayView bytes, DecodeEnd end) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const qsizetype size = bytes.size();
    // Never more characters than bytes.
    QString text(size, Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    qsizetype in = 0;
    qsizetype written = 0;
    while (in < size) {
        // Most text is ASCII: copy it eight bytes at a time.
        while (in + 8 <= size) {
            uint64_t word;
            std::memcpy(&word, data + in, 8);
            if ((word & kHighBits) != 0) {
                break;
            }
            for (int k = 0; k < 8; ++k) {
                out[written + k] = data[in + k];
            }
            in += 8;
            written += 8;
        }
        if (in >= size) {
            break;
        }
        const uint8_t byte = data[in];
        if (byte < 0x80) {
            out[written++] = byte;
            ++in;
            continue;
        }
        if (byte >= 0xA1 && byte <= 0xDF) {
            out[written++] = static_cast<char16_t>(0xFF61 + (byte - 0xA1));
            ++in;
            continue;
        }
        const int lead = leadIndex(byte);
        if (lead < 0) {
            out[written++] = kReplacement;  // 0x80, 0xA0, 0xFD-0xFF
            ++in;
            continue;
        }
        if (in + 1 == size) {
            if (end == DecodeEnd::Whole) {
                out[written++] = kReplacement;
            }
            ++in;
            continue;
        }
        const int trail = trailIndex(data[in + 1]);
        if (trail < 0) {
            out[written++] = kReplacement;
            ++in;  // the next byte is read on its own
            continue;
        }
        out[written++] = kCp932Pairs[lead * kCp932TrailCount + trail];
        in += 2;
    }
    text.truncate(written);
    return text;
}

}  // namespace korvane
