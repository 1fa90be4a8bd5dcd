#pragma once
// Lets GoogleTest print Qt strings in assertions and messages. Included in every GoogleTest
// source by the build.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << s.toStdString();
}
inline std::ostream& operator<<(std::ostream& os, const QByteArray& b) {
    return os << b.toStdString();
}
inline std::ostream& operator<<(std::ostream& os, const QStringList& list) {
    os << '[';
    for (qsizetype i = 0; i < list.size(); ++i) {
        os << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
    }
    return os << ']';
}
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << list;
}
