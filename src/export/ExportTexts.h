#pragma once
// The words of the export: why a CSV file was not written, and what the export commands say.

#include "platform/Failure.h"

namespace korvane {

enum class ExportFault {
    // Why a file operation failed.
    FolderOfThatName,
    DiskFull,
    WriteFailed,
    CannotPlaceFile,
    NoFolder,
    FileNotWritable,
    FolderNotWritable,
    // What failed, with the cause it stands on.
    OutputIsTheDatabase,  // %1 file
    CannotCreate,         // %1 file, %2 why
    CannotWrite,          // %1 file, %2 why
    CannotSave,           // %1 file, %2 why
    CannotOpenDatabase,   // %1 database, %2 why
    CannotOpenSource,     // %1 table or query, %2 why
    CannotReadSource,     // %1 table or query, %2 why
    ExportInterrupted,    // %1 file
    // The person declined a value the query asks for; the dialog has said so.
    ValuesDeclined,
};
const FailureTexts& failureTexts(ExportFault);

// What the export commands and their dialog say.
enum class ExportMessage {
    OnlyForDatabases,
    Exported,
    NoOutputFileName,
    NoTableChosen,
};
const FailureTexts& failureTexts(ExportMessage);

}  // namespace korvane
