#pragma once
// One value of a database row, as decoded from the file, before it becomes text.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace korvane {

struct DbValue {
    enum class Kind {
        Null,
        Boolean,   // integer: 0 or 1
        Integer,   // integer (Byte, Integer, Long Integer)
        Real,      // real (Single, Double)
        Currency,  // integer: ten-thousandths
        Decimal,   // text: the value already in its text form (exact digits)
        DateTime,  // real: OLE automation date (days since 1899-12-30)
        Text,      // text (Text, Memo), whole
        Binary,    // bytes (Binary, OLE Object)
        Guid,      // text: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hex
    };
    Kind kind = Kind::Null;
    int64_t integer = 0;
    double real = 0.0;
    QString text;
    QByteArray bytes;

    bool isNull() const { return kind == Kind::Null; }
};

}  // namespace korvane
