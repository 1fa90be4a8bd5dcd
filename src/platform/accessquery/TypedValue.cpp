// What a person types for a parameter, read as Access reads it.

#include <QRegularExpression>

#include "platform/accessquery/AccessDates.h"
#include "platform/accessquery/AccessQuery.h"

namespace korvane {

DbValue readTypedValue(const QString& typed) {
    DbValue value;
    const QString text = typed.trimmed();
    if (text.isEmpty()) {
        return value;  // OK on an empty box: the value is Null
    }
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (number.match(text).hasMatch()) {
        bool whole = false;
        const qlonglong integer = text.toLongLong(&whole);
        if (whole) {
            value.kind = DbValue::Kind::Integer;
            value.integer = integer;
        } else {
            value.kind = DbValue::Kind::Real;
            value.real = text.toDouble();
        }
        return value;
    }
    const bool hashed =
        text.size() > 2 && text.startsWith(QLatin1Char('#')) && text.endsWith(QLatin1Char('#'));
    if (const std::optional<double> date =
            parseDateText(hashed ? QStringView(text).mid(1, text.size() - 2) : QStringView(text))) {
        value.kind = DbValue::Kind::DateTime;
        value.real = *date;
        return value;
    }
    value.kind = DbValue::Kind::Text;
    value.text = typed;
    return value;
}

}  // namespace korvane
