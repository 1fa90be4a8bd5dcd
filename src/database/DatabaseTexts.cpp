#include "database/DatabaseTexts.h"

#include "platform/Failure.h"

namespace korvane {

QString databaseMessage(DatabaseMessage message, const QString& path) {
    static const FailureTable<DatabaseMessage> table{
        {DatabaseMessage::CannotHandleFile, "ファイル(%1)を取り扱うことができません。"},
        {DatabaseMessage::NoTables, "ファイル(%1)にはテーブルが含まれていません。"},
        {DatabaseMessage::Loading, "データを読み込んでいます。"},
        {DatabaseMessage::Cancelled, "キャンセルされました。"},
        {DatabaseMessage::RecordCountIsAWholeNumber, "表示するレコード数は１の整数です。"},
        {DatabaseMessage::NothingChosen, "テーブルが選択されていません。"},
    };
    return fillPattern(table.pattern(static_cast<int>(message)), {path});
}

}  // namespace korvane
