#pragma once
// Reading SQLite function arguments the way Access converts values, and setting results.
// Shared by the SQL functions of the engine.

#include <sqlite3.h>

#include <QString>
#include <optional>

#include "platform/DbValue.h"
#include "platform/Failure.h"
#include "platform/accessquery/QueryFault.h"

namespace korvane {

// The value's own kind when the translator knew none (code 0).
DbValue::Kind kindFromCode(int code);

QString argText(sqlite3_value* value);

// The text Access makes of a value (`&`, CStr, text functions): dates as dates, currency and
// numbers in their plain forms, yes/no as True/False. `kindCode` is what the translator knew
// of the value (0 = take the storage class). Null gives an empty text.
QString valueAsText(sqlite3_value* value, int kindCode);

// A number from a number, or from a text that reads as one (blanks around it allowed).
// std::nullopt for Null; sets `mismatch` for a text that is not a number or a blob.
std::optional<double> argNumber(sqlite3_value* value, bool& mismatch);

// A whole number rounded the way Access rounds on conversion (half to even).
std::optional<int64_t> argWhole(sqlite3_value* value, bool& mismatch);

// A date serial from a number or a date text; same conventions as argNumber.
std::optional<double> argDate(sqlite3_value* value, bool& mismatch);

void resultText(sqlite3_context* context, const QString& text);
// Stops the statement with `failure`. SQLite carries only a text (kRaisedFailure); the failure
// itself waits in the place every Access function is registered with (see
// registerAccessFunctions), where the sandbox takes it when it asks why the statement failed.
void resultError(sqlite3_context* context, Failure failure);
constexpr const char* kRaisedFailure = "ak: failure raised";

// The error of a function that got a value of the wrong type, naming the function.
void resultTypeMismatch(sqlite3_context* context, const char* function);

}  // namespace korvane
