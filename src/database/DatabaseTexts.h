#pragma once
// What the database side of the window says (textOf).

#include "platform/Failure.h"

namespace korvane {

enum class DatabaseMessage {
    CannotHandleFile,  // %1 file
    NoTables,          // %1 file
    Loading,
    RecordCountIsAWholeNumber,
    NothingChosen,
};
const FailureTexts& failureTexts(DatabaseMessage);

}  // namespace korvane
