#pragma once
// The workbook's sheet catalogue: SheetNames refilled with the names of every sheet of the
// workbook at `path`, in workbook order.

#include <QString>

namespace korvane {

// True when SheetNames holds the workbook's sheets; false after a failure, which has then been
// reported with one message.
bool ReadSheetNames(const QString& path);

// "ファイル(" + path + "）は処理できません。": the message of every workbook failure.
QString WorkbookFailureMessage(const QString& path);

// The name of the workbook's window: the file's base name + "." + extension.
QString WorkbookWindowName(const QString& path);

}  // namespace korvane
