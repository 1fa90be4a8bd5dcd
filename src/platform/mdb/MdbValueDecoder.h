#pragma once
// Turns the raw bytes of one stored field, as the reader process sends them, into a DbValue.
// The decoding is ours, not libmdb's: libmdb's text conversion loses NULL against "", cuts
// memos and binary data, follows the process locale and misprints old dates.

#include <QString>
#include <cstddef>

#include "platform/DbValue.h"

namespace korvane {

// Column type codes as stored in Jet 3 and Jet 4 files.
enum MdbColumnType : int {
    kMdbBool = 0x01,
    kMdbByte = 0x02,
    kMdbInt = 0x03,
    kMdbLong = 0x04,
    kMdbMoney = 0x05,
    kMdbFloat = 0x06,
    kMdbDouble = 0x07,
    kMdbDateTime = 0x08,
    kMdbBinary = 0x09,
    kMdbText = 0x0A,
    kMdbOle = 0x0B,
    kMdbMemo = 0x0C,
    kMdbGuid = 0x0F,
    kMdbNumeric = 0x10,
};

// The kind of value a column of this type holds.
DbValue::Kind dbKindOfMdbType(int type);

// Decodes a present (non-Null) value of a column of `type`; `scale` is the column's number of
// decimals (Decimal columns only). Text and memo bytes are UTF-16LE, plain or compressed.
DbValue decodeMdbValue(int type, int scale, const char* data, size_t size);

// Jet 4 text: UTF-16LE, or after the marker FF FE one byte per character, a 00 byte switching
// between one-byte and two-byte runs.
QString decodeJetText(const char* data, size_t size);

// "{6A5E4A2B-1C3D-4E5F-8A9B-0C1D2E3F4A5B}" from the 16 stored bytes (the first three groups
// little-endian).
QString guidText(const unsigned char* bytes);

}  // namespace korvane
