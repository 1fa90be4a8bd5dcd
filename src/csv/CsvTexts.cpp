#include "csv/CsvTexts.h"

namespace korvane {

QString NoRecordsMessage(const QString& path) {
    return QStringLiteral("ファイル(") + path + QStringLiteral(")にはレコードがありません。");
}

QString FileChangedMessage(const QString& path) {
    return QStringLiteral("ファイル(") + path +
           QStringLiteral(")は読み込んだ後に変更されました。もう一度開いてください。");
}

QString CannotReadMessage(const QString& path) {
    return QStringLiteral("ファイル(") + path + QStringLiteral(")を読み込めません。");
}

QString RecordCountRangeMessage() {
    return QStringLiteral("表示するレコード数は１以上最大レコード数以下の整数です。");
}

QString CountingProgressMessage() {
    return QStringLiteral("CSVファイルを読み込んでいます。");
}

}  // namespace korvane
