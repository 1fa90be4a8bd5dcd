#include "platform/xls/BiffStrings.h"

#include <algorithm>

namespace korvane::xls {

namespace {

constexpr uint8_t kWideCharacters = 0x01;
constexpr uint8_t kPhonetic = 0x04;
constexpr uint8_t kRichText = 0x08;

}  // namespace

bool readUnicodeString(ContinuedReader& reader, CountWidth countWidth, QString& out) {
    const uint32_t count = countWidth == CountWidth::Byte ? reader.u8() : reader.u16();
    const uint8_t options = reader.u8();
    const uint32_t runs = (options & kRichText) != 0 ? reader.u16() : 0;
    const uint32_t phoneticBytes = (options & kPhonetic) != 0 ? reader.u32() : 0;
    if (reader.failed()) {
        return false;
    }
    if (!reader.readCharacters(count, (options & kWideCharacters) != 0, out)) {
        return false;
    }
    // Formatting runs (4 bytes each) and the phonetic block follow the characters.
    return reader.skip(static_cast<size_t>(runs) * 4) && reader.skip(phoneticBytes);
}

QString readByteString(ByteReader& reader, CountWidth countWidth, const CodePageDecoder& decoder) {
    const size_t length = countWidth == CountWidth::Byte ? reader.u8() : reader.u16();
    if (reader.failed()) {
        return QString();
    }
    const size_t available = std::min(length, reader.remaining());
    const uint8_t* start = reader.current();
    reader.skip(available);
    return decoder.decode(start, available);
}

}  // namespace korvane::xls
