#include "export/ExportToCsv.h"
#include "export/RecordsetExportSource.h"
#include "shell/ProgramState.h"

namespace korvane {

Status ExportToCsv(const QString& outputPath, const QString& sourceName, bool isTitle) {
    return ExportToCsv(outputPath, sourceName, isTitle, programState().DatabaseConnectionString,
                       &openRecordsetExportSource);
}

}  // namespace korvane
