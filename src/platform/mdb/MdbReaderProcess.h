#pragma once
// The viewer's side of korvane-mdb-reader: the shared reader-process client with the database
// reader's name and its messages.

#include <QString>

#include "platform/process/ReaderProcess.h"

namespace korvane {

class MdbReaderProcess : public ReaderProcess {
public:
    MdbReaderProcess();

    // Where the helper is: beside the running executable, else in env KORVANE_BIN_DIR.
    static QString executablePath();
};

}  // namespace korvane
