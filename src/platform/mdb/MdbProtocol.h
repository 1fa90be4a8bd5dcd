#pragma once
// The pipe protocol between the data-access component and korvane-mdb-reader, the helper process
// that alone calls libmdb. Plain C++ so the reader needs no Qt.
//
// Requests (component -> reader, on the reader's stdin): one opcode byte, then its arguments.
// Replies (reader -> component, on a descriptor that is not fd 1, because libmdb prints to
// stdout on its own): frames of one kind byte, a 32-bit little-endian length and the payload.
// Strings are a 32-bit length and UTF-8 bytes; integers are little-endian.

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/process/FrameProtocol.h"

namespace korvane::mdbproto {

// Requests.
constexpr char kOpenDatabase = 'D';  // path; reply: kDatabase or kError
constexpr char kOpenTable = 'T';     // u32 catalogue position; reply: kTableHeader or kError
constexpr char kNextRows = 'N';      // u32 max rows; reply: kRow... then kBatchEnd or kTableEnd
constexpr char kQuit = 'Q';          // no reply; the reader ends

// Reply frames.
// kDatabase: u32 jet version (0 Jet 3, 1 Jet 4, higher: later formats), u32 the code page of
//   the file's header (what Jet 3 text is written in; 0 when not recorded), u32 entry count,
//   per entry: string name, i32 MSysObjects.Type as stored (signed 16-bit), u32 flags.
// Names (here and in kTableHeader) are UTF-8 from a Jet 4 file and the stored bytes in the
// header's code page from a Jet 3 file.
constexpr char kDatabase = 'd';
// kTableHeader: u32 declared row count, u32 column count, per column: string name, u8 type,
//   i32 size, u8 scale, u8 precision.
constexpr char kTableHeader = 'h';
// kRow: per column of the header: u8 presence (0 Null, 1 value), and for a value a string of
//   raw bytes. Yes/No values are one byte 0 or 1. Text and memo are as stored: from a Jet 4
//   file UTF-16LE, plain or in the compressed form (FF FE marker); from a Jet 3 file bytes in
//   the header's code page. Memo and OLE values are whole.
constexpr char kRow = 'r';
constexpr char kBatchEnd = 'b';
constexpr char kTableEnd = 'z';
// kError: u32 the number of an MdbFault the reader names (MdbFault.h); the viewer has the words.
constexpr char kError = 'e';

// The framing is shared with the other reader helpers.
using frameproto::kMaxFrame;
using frameproto::PayloadReader;
using frameproto::putString;
using frameproto::putU32;

}  // namespace korvane::mdbproto
