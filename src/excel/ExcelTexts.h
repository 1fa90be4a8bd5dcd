#pragma once
// Every message the Excel area shows. The captions and labels of its dialog stay with the form.

#include <QString>

namespace korvane {

// "ファイル(" + path + "）は処理できません。": the message of every workbook failure.
QString WorkbookFailureMessage(const QString& path);

// The display-range dialog's answers to values it does not take.
QString ColumnRangeMessage();
QString RowRangeMessage();
QString NoSheetChosenMessage();

}  // namespace korvane
