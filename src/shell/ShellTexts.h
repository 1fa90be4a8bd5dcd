#pragma once
// What the window itself says, whatever the kind of file (textOf); the areas use these too.

#include "platform/Failure.h"

namespace korvane {

enum class ShellMessage {
    NoSuchFile,  // %1 file
    NotAKnownFileType,
    CannotOpenFile,  // %1 file, %2 why
    CannotExport,    // %1 why
    Information,     // the title of a notice
    Cancelled,
};
const FailureTexts& failureTexts(ShellMessage);

}  // namespace korvane
