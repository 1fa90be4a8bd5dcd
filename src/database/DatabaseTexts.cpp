#include "database/DatabaseTexts.h"

namespace korvane {

const FailureTexts& failureTexts(DatabaseMessage) {
    static const FailureTable<DatabaseMessage> table{
        {DatabaseMessage::CannotHandleFile, "ファイル(%1)を取り扱うことができません。"},
        {DatabaseMessage::NoTables, "ファイル(%1)にはテーブルが含まれていません。"},
        {DatabaseMessage::Loading, "データを読み込んでいます。"},
        {DatabaseMessage::RecordCountIsAWholeNumber, "表示するレコード数は１の整数です。"},
        {DatabaseMessage::NothingChosen, "テーブルが選択されていません。"},
    };
    return table;
}

}  // namespace korvane
