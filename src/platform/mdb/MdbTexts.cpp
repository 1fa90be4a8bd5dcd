#include "platform/mdb/MdbTexts.h"

#include "platform/process/ReaderProcess.h"

namespace korvane {

const FailureTexts& failureTexts(MdbFault) {
    static const FailureTable<MdbFault> table{
        {MdbFault::CannotOpenFile, "ファイルを開けません。"},
        {MdbFault::CannotReadCatalogue,
         "データベースの目録を読み取れません。ファイルが壊れているか、"
         "Access データベースではありません。"},
        {MdbFault::NoSuchTable, "そのテーブルはデータベースにありません。"},
        {MdbFault::CannotReadTableDefinition,
         "テーブルの定義を読み取れません。ファイルが壊れている可能性があります。"},
        {MdbFault::CannotReadColumnDefinitions,
         "テーブルの列の定義を読み取れません。ファイルが壊れている可能性があります。"},
        {MdbFault::BrokenPageChain,
         "テーブルのページのつながりが壊れています。ファイルが壊れている可能性があります。"},
        {MdbFault::MovedRowNotFound,
         "別の場所へ移された行が見つかりません。ファイルが壊れている可能性があります。"},
        {MdbFault::CannotReadMovedRowPage,
         "別の場所へ移された行のページを読み取れません。ファイルが壊れている可能性があります。"},
        {MdbFault::CannotReadTablePage,
         "テーブルのページを読み取れません。ファイルが壊れている可能性があります。"},
        {MdbFault::BrokenRow, "行の中身が壊れています。ファイルが壊れている可能性があります。"},
        {MdbFault::BrokenColumnOrder,
         "行の中の列の並びが壊れています。ファイルが壊れている可能性があります。"},
        {MdbFault::BrokenValue, "行の値が壊れています。ファイルが壊れている可能性があります。"},
        {MdbFault::BrokenLongValue,
         "メモ型またはOLEオブジェクト型の値が壊れています。ファイルが壊れている可能性があります。"},
        {MdbFault::UnreadableErrorReply, "データベースを読み取れません。"},
        {MdbFault::FileNotFound, "ファイルが見つかりません。"},
        {MdbFault::LaterAccessFormat,
         "Access 2007 以降の形式のデータベースです。この形式のファイルは開けません。"},
        {MdbFault::TableNotFound, "テーブル(%1)が見つかりません。"},
        {MdbFault::CannotOpenTable, "テーブル(%1)を開けません。%2"},
        {MdbFault::TableReadStopped, "テーブル(%1)の読み取りは中断されました。"},
        {MdbFault::FarTooManyRows,
         "テーブル(%1)から定義された行数(%2)"
         "をはるかに超える行が読み取られました。ファイルが壊れている可能性があります。"},
        {MdbFault::CannotReadTable, "テーブル(%1)を読み取れません。%2"},
        {MdbFault::CannotBuildQuerySql, "クエリー(%1)のSQLを組み立てられません。原因: %2"},
        {MdbFault::NoTableOrQuery, "テーブルまたはクエリー(%1)が見つかりません。"},
        {MdbFault::ProviderNotFound, "プロバイダ(%1)が見つかりません。"},
        {MdbFault::NoFileInConnectionString, "接続文字列にデータベースのファイル名がありません。"},
        {MdbFault::Jet4NeedsJet40,
         "Jet 4 形式のデータベースは Microsoft.Jet.OLEDB.3.51 では開けません。"},
        {MdbFault::DatabaseNotOpen, "データベースが開かれていません。"},
        {MdbFault::UnknownSchema, "このスキーマ(%1)は読み取れません。"},
        {MdbFault::LinkedTableUnreadable, "リンクテーブル(%1)のリンク先は読み取れません。"},
    };
    return table;
}

const FailureTexts& databaseReaderTexts() {
    static const FailureTable<ReaderFault> table{
        {ReaderFault::NotFound, "データベース読み取りプログラム(%1)が見つかりません。"},
        {ReaderFault::CannotStart, "データベース読み取りプログラム(%1)を起動できません。"},
        {ReaderFault::Crashed,
         "データベースの読み取り中に読み取りプログラムが異常終了しました。ファイルが壊れている可能"
         "性があります。"},
        {ReaderFault::Stalled,
         "データベースの読み取りが%"
         "1秒以上進まなかったため中止しました。ファイルが壊れている可能性があります。"},
        {ReaderFault::Garbled, "データベースの読み取りプログラムから不正な応答がありました。"},
        {ReaderFault::NotRunning, "データベースの読み取りプログラムが動いていません。"},
    };
    return table;
}

}  // namespace korvane
