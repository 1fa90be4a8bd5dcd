#include "excel/ExcelTexts.h"

namespace korvane {

QString WorkbookFailureMessage(const QString& path) {
    return QStringLiteral("ファイル(") + path + QStringLiteral("）は処理できません。");
}

QString ColumnRangeMessage() {
    return QStringLiteral("カラムの範囲は１－２５５までです。");
}

QString RowRangeMessage() {
    return QStringLiteral("行の指定範囲が不正です。（1-32767までです。）");
}

QString NoSheetChosenMessage() {
    return QStringLiteral("シートが選択されていません。");
}

}  // namespace korvane
