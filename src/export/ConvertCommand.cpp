#include "export/ConvertCommand.h"

#include "shell/ProgramState.h"

namespace korvane {

void ConvertCommand() {
    if (programState().CurrentFileType != kFileDatabase) {
        ShowMessage(
            QStringLiteral("このメニューはMDBファイルの内容をCSVへ出力するためのものです。"));
        return;
    }
    // The export dialog and writer come here once they exist.
}

}  // namespace korvane
