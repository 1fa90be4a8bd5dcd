#pragma once
// Small pieces the session and its table streams share. Internal to the data-access component.

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "platform/mdb/MdbProtocol.h"
#include "platform/mdb/MdbTexts.h"
#include "platform/process/ReaderProcess.h"

namespace korvane::mdbsession {

inline QByteArray requestWithString(char opcode, const QByteArray& text) {
    std::string out(1, opcode);
    mdbproto::putString(out, text.constData(), static_cast<size_t>(text.size()));
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

// A reply that makes no sense. The helper is stopped by the caller, so that the next request
// finds it not running.
inline Failure garbledReply() {
    return Failure(databaseReaderTexts(), ReaderFault::Garbled);
}

}  // namespace korvane::mdbsession
