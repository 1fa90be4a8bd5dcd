#pragma once
// The two kinds of text a workbook stream holds: Unicode strings of Excel 97-2003 (a character
// count, an option byte, then one or two bytes per character, with rich-text runs and a
// phonetic block that are skipped) and the code-page byte strings of Excel 5.0/95.

#include <QString>
#include <cstdint>

#include "platform/xls/BiffRecords.h"
#include "platform/xls/CodePage.h"

namespace korvane::xls {

enum class CountWidth { Byte, Word };

// A Unicode string whose character count is one byte (sheet names) or two bytes wide. False
// when the string runs past the data; `out` then holds what was there.
bool readUnicodeString(ContinuedReader& reader, CountWidth countWidth, QString& out);

// A byte string with a one- or two-byte length. When the record ends before the stated length,
// the bytes that are there are taken.
QString readByteString(ByteReader& reader, CountWidth countWidth, const CodePageDecoder& decoder);

}  // namespace korvane::xls
