#pragma once
// Access's Format function for plain patterns: custom date patterns (yyyy mm dd hh nn ss q w
// AM/PM, quoted literals), custom number patterns (0 # , . % with up to four sections), and the
// common named formats. Other patterns fail with a description rather than guessing.

#include <sqlite3.h>

#include <QString>

#include "platform/Result.h"

namespace korvane {

// The text of `value` (whose kind code the translator knew, 0 = unknown) in `pattern`; an
// empty pattern gives the value's ordinary text. A failure names a pattern outside what is
// supported.
Result<QString> formatAccessValue(sqlite3_value* value, int kindCode, const QString& pattern);

}  // namespace korvane
