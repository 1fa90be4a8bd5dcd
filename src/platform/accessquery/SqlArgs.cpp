#include "platform/accessquery/SqlArgs.h"

#include <cmath>

#include "platform/accessquery/AccessDates.h"
#include "platform/accessquery/QueryFault.h"
#include "text/Numbers.h"
#include "text/ValueText.h"

namespace korvane {

using Kind = DbValue::Kind;

Kind kindFromCode(int code) {
    if (code < static_cast<int>(Kind::Null) || code > static_cast<int>(Kind::Guid)) {
        return Kind::Null;
    }
    return static_cast<Kind>(code);
}

QString argText(sqlite3_value* value) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(bytes, sqlite3_value_bytes(value));
}

QString valueAsText(sqlite3_value* value, int kindCode) {
    const int type = sqlite3_value_type(value);
    if (type == SQLITE_NULL) {
        return QString();
    }
    if (type == SQLITE_TEXT) {
        return argText(value);
    }
    if (type == SQLITE_BLOB) {
        return QStringLiteral("<%1 バイト>").arg(sqlite3_value_bytes(value));
    }
    const double number = sqlite3_value_double(value);
    switch (kindFromCode(kindCode)) {
        case Kind::DateTime:
            return OleDateText(number);
        case Kind::Boolean:
            return BooleanText(number != 0);
        case Kind::Currency:
            if (std::fabs(number) < 9.2e14) {
                return CurrencyText(std::llround(number * 10000.0));
            }
            break;
        default:
            break;
    }
    if (type == SQLITE_INTEGER) {
        return IntegerText(sqlite3_value_int64(value));
    }
    return DoubleText(number);
}

std::optional<double> argNumber(sqlite3_value* value, bool& mismatch) {
    switch (sqlite3_value_type(value)) {
        case SQLITE_NULL:
            return std::nullopt;
        case SQLITE_INTEGER:
            return static_cast<double>(sqlite3_value_int64(value));
        case SQLITE_FLOAT:
            return sqlite3_value_double(value);
        case SQLITE_TEXT: {
            bool ok = false;
            const double number = argText(value).trimmed().toDouble(&ok);
            if (ok && std::isfinite(number)) {
                return number;
            }
            // A date text counts as its serial, as in Access.
            if (const auto serial = parseDateText(argText(value))) {
                return serial;
            }
            break;
        }
        default:
            break;
    }
    mismatch = true;
    return std::nullopt;
}

std::optional<int64_t> argWhole(sqlite3_value* value, bool& mismatch) {
    if (sqlite3_value_type(value) == SQLITE_INTEGER) {
        return sqlite3_value_int64(value);
    }
    const auto number = argNumber(value, mismatch);
    if (!number) {
        return std::nullopt;
    }
    const double rounded = RoundHalfEven(*number);
    if (!(std::fabs(rounded) < 9.2e18)) {
        mismatch = true;
        return std::nullopt;
    }
    return static_cast<int64_t>(rounded);
}

std::optional<double> argDate(sqlite3_value* value, bool& mismatch) {
    if (sqlite3_value_type(value) == SQLITE_TEXT) {
        if (const auto serial = parseDateText(argText(value))) {
            return serial;
        }
    }
    return argNumber(value, mismatch);
}

void resultText(sqlite3_context* context, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    sqlite3_result_text(context, bytes.constData(), static_cast<int>(bytes.size()),
                        SQLITE_TRANSIENT);
}

void resultError(sqlite3_context* context, Failure failure) {
    if (auto* raised = static_cast<std::optional<Failure>*>(sqlite3_user_data(context))) {
        *raised = std::move(failure);
    }
    sqlite3_result_error(context, kRaisedFailure, -1);
}

void resultTypeMismatch(sqlite3_context* context, const char* function) {
    resultError(context, Failure(QueryFault::TypeMismatch, {QString::fromLatin1(function)}));
}

}  // namespace korvane
