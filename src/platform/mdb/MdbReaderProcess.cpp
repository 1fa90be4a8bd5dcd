#include "platform/mdb/MdbReaderProcess.h"

#include "platform/mdb/MdbProtocol.h"
#include "platform/mdb/MdbTexts.h"

namespace korvane {

namespace {

const QString kReaderName = QStringLiteral("korvane-mdb-reader");

}  // namespace

MdbReaderProcess::MdbReaderProcess()
    : ReaderProcess(kReaderName, databaseReaderTexts(), QByteArray(1, mdbproto::kQuit)) {}

QString MdbReaderProcess::executablePath() {
    return ReaderProcess::executablePath(kReaderName);
}

}  // namespace korvane
