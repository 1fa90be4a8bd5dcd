#include "app/StandardLoaders.h"

#include "csv/LoadTextFile.h"
#include "database/LoadDatabase.h"
#include "excel/ColumnLetters.h"
#include "excel/WorkbookLoader.h"
#include "export/ConvertCommand.h"
#include "export/DialogSelectOutputTable.h"
#include "platform/xls/HelperSpreadsheet.h"
#include "shell/AreaCommands.h"
#include "shell/DialogParameter.h"
#include "shell/ProgramState.h"

namespace korvane {

void registerStandardLoaders() {
    // Each subsystem adds its loader here once it has one.
    setLoader(kFileCsv, LoadTextFile);
    setLoader(kFileExcel, LoadWorkbook);
    // Workbooks are read in a helper process, where a damaged file cannot take the window down.
    xls::setSpreadsheetOpener(xls::openInHelper);
    setLoader(kFileDatabase, LoadDatabase);
    // A parameter query's values are asked for in the window's dialog, before it runs.
    setQueryValueAsker(AskQueryValueInDialog);
    // File > Convert asks for its target through the export dialog.
    setExportTargetChooser(AskExportTarget);
    // The window's File > Convert and the column letters its load builds.
    setAreaCommands(AreaCommands{[] { ConvertCommand(); }, BuildColumnLetters});
}

}  // namespace korvane
