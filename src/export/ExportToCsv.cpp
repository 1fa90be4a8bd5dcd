#include "export/ExportToCsv.h"

#include <QFileInfo>
#include <vector>

#include "export/CsvExportWriter.h"
#include "platform/mdb/DataAccess.h"

namespace korvane {

namespace {

// Both paths name one existing file (the same file reached by two spellings counts too).
bool sameFile(const QString& a, const QString& b) {
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

}  // namespace

Status ExportToCsv(const QString& outputPath, const QString& sourceName, bool isTitle,
                   const QString& connectionString, const ExportSourceOpener& opener) {
    const QString databasePath = parseConnectionString(connectionString).dataSource;
    // Replacing the database with its own export would lose it.
    if (sameFile(outputPath, databasePath)) {
        return Failure{ExportFault::OutputIsTheDatabase, {outputPath}};
    }

    // The output comes first, so an unwritable target is reported before the database is read.
    CsvExportWriter writer(outputPath);
    if (Status opened = writer.open(); !opened) {
        return Failure(ExportFault::CannotCreate, {outputPath}, opened.takeFailure());
    }

    Result<std::unique_ptr<ExportRowSource>> opening = opener(connectionString, sourceName);
    if (!opening) {
        writer.discard();
        return opening.takeFailure();
    }

    std::unique_ptr<ExportRowSource> source = std::move(opening).value();
    std::vector<DbValue> row;
    Result<bool> more = source->nextRow(row);
    // The header line is written only above rows: an empty source gives an empty file.
    if (more && more.value() && isTitle && !writer.writeHeader(source->columnNames())) {
        Failure cause = writer.writeFailure();
        writer.discard();
        return Failure(ExportFault::CannotWrite, {outputPath}, std::move(cause));
    }
    while (more && more.value()) {
        if (!writer.writeRow(row)) {
            Failure cause = writer.writeFailure();
            writer.discard();
            return Failure(ExportFault::CannotWrite, {outputPath}, std::move(cause));
        }
        more = source->nextRow(row);
    }
    if (!more) {
        writer.discard();
        return Failure(ExportFault::CannotReadSource, {sourceName}, more.takeFailure());
    }
    source.reset();  // closes the recordset and the connection before the file is placed

    if (Status committed = writer.commit(); !committed) {
        return Failure(ExportFault::CannotSave, {outputPath}, committed.takeFailure());
    }
    return Done{};
}

}  // namespace korvane
