#pragma once
// The pipe protocol between the viewer and korvane-xls-reader, the helper process that alone
// reads workbook files. Framing as for every reader helper (platform/process/FrameProtocol.h).
// Texts (sheet names, cell texts, the details of a failure) travel as UTF-16LE bytes so that
// every code unit a workbook holds, lone surrogates included, arrives as it was read. A failure
// travels as its cause (xls::XlsFault) and details, never as words: the viewer makes those.

#include <cstdint>
#include <string>

#include "platform/process/FrameProtocol.h"

namespace korvane::xlsproto {

// Requests.
constexpr char kOpenWorkbook = 'O';  // string path (file-system bytes); reply kWorkbook or kError
// string sheet name (UTF-16LE), i64 first row, i64 last row, i64 first column, i64 last column
// (all from 1); reply kCells or kError.
constexpr char kCells = 'C';
constexpr char kQuit = 'Q';  // no reply; the reader ends

// Reply frames.
// kWorkbook: u32 sheet count, per sheet: string name.
constexpr char kWorkbook = 'w';
// kCells: i64 last row covered (the reader may stop early to keep the reply small; it always
//   covers the first row), u32 entry count, per entry: i64 row, i64 column, u8 kind, then the
//   cell's text (kCellText) or why it has none (kCellFailure). Only cells that are not empty
//   are listed.
constexpr char kCellsReply = 'c';
constexpr uint8_t kCellText = 0;     // string text
constexpr uint8_t kCellFailure = 1;  // failure: an error value, a sheet without cells, ...
// kError: failure.
// A failure: u32 cause, u32 detail count, per detail: string text. The count is the number of
// details the cause's text takes.
constexpr char kError = 'e';

// The reader stops adding rows once a reply grows past this; a single row may exceed it.
constexpr size_t kCellsReplySoftLimit = 8u * 1024u * 1024u;
// Smallest possible entry: i64 row, i64 column, u8 kind, u32 text length.
constexpr size_t kMinEntrySize = 8 + 8 + 1 + 4;

inline void putI64(std::string& out, int64_t v) {
    const auto u = static_cast<uint64_t>(v);
    frameproto::putU32(out, static_cast<uint32_t>(u & 0xFFFFFFFFu));
    frameproto::putU32(out, static_cast<uint32_t>(u >> 32));
}

inline int64_t readI64(frameproto::PayloadReader& reader) {
    const uint64_t low = reader.u32();
    const uint64_t high = reader.u32();
    return static_cast<int64_t>(low | (high << 32));
}

}  // namespace korvane::xlsproto
