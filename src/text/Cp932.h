#pragma once
// The one decoder of Windows' code page 932 (CP932, also called Windows-31J), the Shift_JIS
// that Japanese Windows writes. Every CP932 text Korvane reads goes through here (CSV and TXT
// lines, workbook strings, old database text), so the same bytes show the same characters
// wherever they come from.
//
// - Bytes 0x00-0x7F are the ASCII code points, control codes included: 0x1A (the DOS end of
//   file), 0x1C and 0x7F stay themselves, 0x5C is the backslash and 0x7E the tilde.
// - 0xA1-0xDF are the half-width katakana U+FF61-U+FF9F.
// - Two-byte characters follow Windows' table: the NEC and IBM extensions (①, Ⅰ, ㈱, 髙, and
//   0x8160 is ～ U+FF5E) and the user-defined area 0xF040-0xF9FC as U+E000-U+E757.
// - Whatever the table leaves undefined shows as U+FFFD, never as a control code or another
//   character: the single bytes 0x80, 0xA0 and 0xFD-0xFF; an undefined pair (one U+FFFD for
//   both bytes); a lead byte whose next byte cannot be a trail byte (that byte is then read on
//   its own, so a line end, comma or quote after a stray lead byte is never swallowed).

#include <QByteArrayView>
#include <QString>

namespace korvane {

enum class DecodeEnd {
    Whole,     // the bytes are a whole text: a lead byte at the very end shows as U+FFFD
    CutShort,  // the bytes are the start of a longer text: a character cut off at the end is
               // dropped
};

QString decodeCp932(QByteArrayView bytes, DecodeEnd end = DecodeEnd::Whole);

}  // namespace korvane
