#pragma once
// Small pieces the session and its table streams share. Internal to the data-access component.

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "platform/mdb/MdbProtocol.h"

namespace korvane::mdbsession {

inline QByteArray requestWithString(char opcode, const QByteArray& text) {
    std::string out(1, opcode);
    mdbproto::putString(out, text.constData(), static_cast<size_t>(text.size()));
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

inline QString garbledReply() {
    return QStringLiteral("データベースの読み取りプログラムから不正な応答がありました。");
}

}  // namespace korvane::mdbsession
