#include "shell/ShellTexts.h"

namespace korvane {

const FailureTexts& failureTexts(ShellMessage) {
    static const FailureTable<ShellMessage> table{
        {ShellMessage::NoSuchFile, "ファイル(%1)がありません。"},
        {ShellMessage::NotAKnownFileType, "ファイルタイプがCSV、XLS、MDBのいずれでもありません。"},
        {ShellMessage::CannotOpenFile, "ファイル(%1)を開けませんでした。%2"},
        {ShellMessage::CannotExport, "出力できませんでした。%1"},
        {ShellMessage::Information, "インフォメーション"},
        {ShellMessage::Cancelled, "キャンセルされました。"},
    };
    return table;
}

}  // namespace korvane
