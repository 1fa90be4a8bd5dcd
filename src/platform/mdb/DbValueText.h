#pragma once
// The text a database value shows as, in the list pane and in the export alike.

#include <QString>

#include "platform/DbValue.h"

namespace korvane {

// Null gives "" (the caller decides whether Null is shown at all); binary and OLE data give a
// short placeholder with the size, "(バイナリ 5 バイト)", since the bytes have no text form.
QString DbValueText(const DbValue& value);

}  // namespace korvane
