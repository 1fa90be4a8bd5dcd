#include "platform/mdb/DbValueText.h"

#include "text/ValueText.h"

namespace korvane {

QString DbValueText(const DbValue& value) {
    switch (value.kind) {
        case DbValue::Kind::Null:
            return QString();
        case DbValue::Kind::Boolean:
            return BooleanText(value.integer != 0);
        case DbValue::Kind::Integer:
            return IntegerText(value.integer);
        case DbValue::Kind::Real:
            return DoubleText(value.real);
        case DbValue::Kind::Currency:
            return CurrencyText(value.integer);
        case DbValue::Kind::DateTime:
            return OleDateText(value.real);
        case DbValue::Kind::Decimal:
        case DbValue::Kind::Text:
        case DbValue::Kind::Guid:
            return value.text;
        case DbValue::Kind::Binary:
            return QStringLiteral("(バイナリ %1 バイト)").arg(value.bytes.size());
    }
    return QString();
}

}  // namespace korvane
