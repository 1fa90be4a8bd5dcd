#include "export/ExportTexts.h"

namespace korvane {

const FailureTexts& failureTexts(ExportFault) {
    static const FailureTable<ExportFault> table{
        {ExportFault::FolderOfThatName, "同じ名前のフォルダがあります。"},
        {ExportFault::DiskFull, "ディスクの空きが足りません。"},
        {ExportFault::WriteFailed, "書き込みに失敗しました。"},
        {ExportFault::CannotPlaceFile, "できあがったファイルを置くことができません。"},
        {ExportFault::NoFolder, "フォルダがありません。"},
        {ExportFault::FileNotWritable, "ファイルへの書き込みが許可されていません。"},
        {ExportFault::FolderNotWritable, "フォルダへの書き込みが許可されていません。"},
        {ExportFault::OutputIsTheDatabase,
         "ファイル(%1)には出力できません。出力先が読み込むデータベースそのものです。"},
        {ExportFault::CannotCreate, "ファイル(%1)を作成できません。%2"},
        {ExportFault::CannotWrite, "ファイル(%1)に書き込めません。%2"},
        {ExportFault::CannotSave, "ファイル(%1)を保存できません。%2"},
        {ExportFault::CannotOpenDatabase, "データベース(%1)を開くことができません。%2"},
        {ExportFault::CannotOpenSource, "テーブルまたはクエリー(%1)を開くことができません。%2"},
        {ExportFault::CannotReadSource, "テーブルまたはクエリー(%1)を読み込めません。%2"},
        {ExportFault::ExportInterrupted, "ファイル(%1)に出力できませんでした。"},
        {ExportFault::ValuesDeclined, "キャンセルされました。"},
    };
    return table;
}

const FailureTexts& failureTexts(ExportMessage) {
    static const FailureTable<ExportMessage> table{
        {ExportMessage::OnlyForDatabases,
         "このメニューはMDBファイルの内容をCSVへ出力するためのものです。"},
        {ExportMessage::Exported, "出力されました。"},
        {ExportMessage::NoOutputFileName, "出力のファイル名が指定されていません。"},
        {ExportMessage::NoTableChosen, "テーブルが選択されていません。"},
    };
    return table;
}

}  // namespace korvane
