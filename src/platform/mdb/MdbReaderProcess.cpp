#include "platform/mdb/MdbReaderProcess.h"

#include "platform/mdb/MdbProtocol.h"

namespace korvane {

namespace {

const QString kReaderName = QStringLiteral("korvane-mdb-reader");

ReaderProcessTexts databaseReaderTexts() {
    ReaderProcessTexts texts;
    texts.notFound = QStringLiteral("データベース読み取りプログラム(%1)が見つかりません。");
    texts.cannotStart = QStringLiteral("データベース読み取りプログラム(%1)を起動できません。");
    texts.crashed = QStringLiteral(
        "データベースの読み取り中に読み取りプログラムが異常終了しました。"
        "ファイルが壊れている可能性があります。");
    texts.stalled = QStringLiteral(
        "データベースの読み取りが%1秒以上進まなかったため中止しました。"
        "ファイルが壊れている可能性があります。");
    texts.garbled = QStringLiteral("データベースの読み取りプログラムから不正な応答がありました。");
    texts.notRunning = QStringLiteral("データベースの読み取りプログラムが動いていません。");
    return texts;
}

}  // namespace

MdbReaderProcess::MdbReaderProcess()
    : ReaderProcess(kReaderName, databaseReaderTexts(), QByteArray(1, mdbproto::kQuit)) {}

QString MdbReaderProcess::executablePath() {
    return ReaderProcess::executablePath(kReaderName);
}

}  // namespace korvane
