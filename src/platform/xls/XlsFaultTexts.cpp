// Every text of the spreadsheet component's failures.
#include "platform/xls/XlsFault.h"

#include <algorithm>

#include "platform/process/ReaderProcess.h"

namespace korvane::xls {

const FailureTexts& failureTexts(XlsFault) {
    static const FailureTable<XlsFault> table{
        {XlsFault::CannotOpenFile, "ファイルを読み取り用に開けません。"},
        {XlsFault::FileTooShort, "ファイルが短すぎます。Excel のブック(.xls)ではありません。"},
        {XlsFault::NotAWorkbook, "ファイルは Excel のブック(.xls)ではありません。"},
        {XlsFault::NoWorkbookData,
         "ファイルにブックのデータがありません。Excel のブック(.xls)ではありません。"},
        {XlsFault::NewerWorkbook,
         "ファイルは Excel 2007 以降のブック(.xlsx)です。読み取れるのは Excel 97-2003 と "
         "Excel 5.0/95 のブック(.xls)だけです。"},
        {XlsFault::PasswordProtected, "ブックはパスワードで保護されています。"},
        {XlsFault::ContainerUnreadable,
         "ブックのファイルが壊れています（ファイルの構造を読み取れません）。"},
        {XlsFault::StreamUnopenable,
         "ブックのファイルが壊れています（ブックのデータを開けません）。"},
        {XlsFault::StreamLongerThanFile,
         "ブックのファイルが壊れています（ブックのデータがファイルより長いと記録されています）。"},
        {XlsFault::StreamEndsEarly,
         "ブックのファイルが壊れています（データが記録された長さより前で終わっています）。"},
        {XlsFault::OlderVersion,
         "ファイルは %1 のワークシート(BIFF%2)です。読み取れるのは Excel 5.0/95 と Excel "
         "97-2003 のブックだけです。"},
        {XlsFault::EmptyStream, "ブックのデータが空です。Excel のブック(.xls)ではありません。"},
        {XlsFault::BadStart,
         "ブックのデータの始まりが正しくありません。Excel のブック(.xls)ではありません。"},
        {XlsFault::SingleSheet,
         "ファイルはブックではなく、シートを一枚だけ保存したものです。読み取れるのは Excel "
         "5.0/95 と Excel 97-2003 のブックだけです。"},
        {XlsFault::NoSheets, "ブックにシートがありません。"},
        {XlsFault::NoSuchSheet, "ブックにシート(%1)がありません。"},
        {XlsFault::NoSheetNumber, "ブックに %1 番目のシートはありません。"},
        {XlsFault::ChartSheet, "シート(%1)はグラフのシートで、セルがありません。"},
        {XlsFault::ModuleSheet, "シート(%1)は VBA モジュールのシートで、セルがありません。"},
        {XlsFault::SheetWithoutCells, "シート(%1)はセルを持たない種類のシートです。"},
        {XlsFault::SheetDataMissing, "シート(%1)のデータがブックの中に見つかりません。"},
        {XlsFault::RowBeforeSheet, "行 %1 はワークシートの行ではありません。"},
        {XlsFault::RowAfterSheet, "行 %1 はワークシートの最後の行(%2)より後ろです。"},
        {XlsFault::ColumnBeforeSheet, "列 %1 はワークシートの列ではありません。"},
        {XlsFault::ColumnAfterSheet, "列 %1 はワークシートの最後の列(%2)より後ろです。"},
        {XlsFault::SharedStringMissing,
         "セル %1 は共有文字列の %2 番を参照していますが、ブックの共有文字列は %3 "
         "個しかありません。"},
        {XlsFault::ErrorValue, "セル %1 はエラー値 %2 です。"},
        {XlsFault::Released, "ブックはすでに閉じられています。"},
        {XlsFault::NoWindow, "ウィンドウ(%1)がありません。"},
        {XlsFault::HelperNoWorkbook, "ブックが開かれていません。"},
        {XlsFault::HelperBadRange, "読み取る範囲が正しくありません。"},
    };
    return table;
}

const FailureTexts& workbookReaderTexts() {
    static const FailureTable<ReaderFault> table{
        {ReaderFault::NotFound, "ブックを読み取る補助プログラム(%1)が見つかりません。"},
        {ReaderFault::CannotStart, "ブックを読み取る補助プログラム(%1)を起動できません。"},
        {ReaderFault::Crashed,
         "ブックを読み取る補助プログラムが異常終了しました。"
         "ファイルが壊れている可能性があります。"},
        {ReaderFault::Stalled,
         "ブックの読み取りが%1秒以上進まなかったため中止しました。"
         "ファイルが壊れている可能性があります。"},
        {ReaderFault::Garbled, "ブックを読み取る補助プログラムから不正な応答がありました。"},
        {ReaderFault::NotRunning, "ブックを読み取る補助プログラムが動いていません。"},
    };
    return table;
}

QString faultPattern(XlsFault cause) {
    return failureTexts(cause).pattern(static_cast<int>(cause));
}

int faultDetailCount(XlsFault cause) {
    const QString pattern = faultPattern(cause);
    int highest = 0;
    for (qsizetype i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern.at(i) == QLatin1Char('%') && pattern.at(i + 1).isDigit()) {
            int number = pattern.at(i + 1).digitValue();
            if (i + 2 < pattern.size() && pattern.at(i + 2).isDigit()) {
                number = number * 10 + pattern.at(i + 2).digitValue();
            }
            highest = std::max(highest, number);
        }
    }
    return highest;
}

std::optional<XlsFault> xlsFaultOf(const Failure& failure) {
    for (int i = 0; i < static_cast<int>(XlsFault::Count); ++i) {
        if (failure.is(static_cast<XlsFault>(i))) {
            return static_cast<XlsFault>(i);
        }
    }
    return std::nullopt;
}

}  // namespace korvane::xls
