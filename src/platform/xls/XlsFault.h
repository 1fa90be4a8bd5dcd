#pragma once
// Why the spreadsheet component could not do what it was asked: opening a workbook, reading a
// cell, or talking to the helper process that reads workbooks. The texts are in
// XlsFaultTexts.cpp; a failure crosses the pipe from korvane-xls-reader as its cause and details.

#include <optional>

#include "platform/Failure.h"

namespace korvane::xls {

enum class XlsFault {
    // The file and its container.
    CannotOpenFile,
    FileTooShort,
    NotAWorkbook,
    NoWorkbookData,
    NewerWorkbook,
    PasswordProtected,
    ContainerUnreadable,
    StreamUnopenable,
    StreamLongerThanFile,
    StreamEndsEarly,
    // The workbook globals: %1 the version's name, %2 its BIFF number.
    OlderVersion,
    EmptyStream,
    BadStart,
    SingleSheet,
    NoSheets,
    // Sheets and cells: %1 a sheet's name or number, a row or a column; %2 a limit.
    NoSuchSheet,
    NoSheetNumber,
    ChartSheet,
    ModuleSheet,
    SheetWithoutCells,
    SheetDataMissing,
    RowBeforeSheet,
    RowAfterSheet,
    ColumnBeforeSheet,
    ColumnAfterSheet,
    // %1 the cell's name, %2 the string's index, %3 the workbook's string count.
    SharedStringMissing,
    // %1 the cell's name, %2 the error value ("#DIV/0!").
    ErrorValue,
    // The workbook as the viewer holds it.
    Released,
    NoWindow,
    // The helper process: what it answers to a request it cannot serve.
    HelperNoWorkbook,
    HelperBadRange,
    Count
};

const FailureTexts& failureTexts(XlsFault);
// ReaderFault told of korvane-xls-reader.
const FailureTexts& workbookReaderTexts();

// The text of a cause with its placeholders unfilled.
QString faultPattern(XlsFault cause);
// How many details a cause's text takes: its highest placeholder.
int faultDetailCount(XlsFault cause);
// The cause of a failure of this component; nothing for another area's failure.
std::optional<XlsFault> xlsFaultOf(const Failure& failure);

}  // namespace korvane::xls
