#pragma once
// Access's Format function for plain patterns: custom date patterns (yyyy mm dd hh nn ss q w
// AM/PM, quoted literals), custom number patterns (0 # , . % with up to four sections), and the
// common named formats. Other patterns fail with a description rather than guessing.

#include <sqlite3.h>

#include <QString>
#include <optional>

namespace korvane {

// The text of `value` (whose kind code the translator knew, 0 = unknown) in `pattern`; an
// empty pattern gives the value's ordinary text. std::nullopt with `error` when the pattern
// is outside what is supported.
std::optional<QString> formatAccessValue(sqlite3_value* value, int kindCode, const QString& pattern,
                                         QString& error);

// The same for values held outside SQLite (tests, callers without a statement): a date
// serial in a date pattern, a number in a number pattern.
std::optional<QString> formatAccessDate(double serial, const QString& pattern, QString& error);
std::optional<QString> formatAccessNumber(double number, const QString& pattern, QString& error);

}  // namespace korvane
