#include "export/ExportToCsv.h"

#include <QFileInfo>
#include <vector>

#include "export/CsvExportWriter.h"
#include "platform/mdb/DataAccess.h"

namespace korvane {

namespace {

QString fileMessage(const QString& path, const QString& what, const QString& cause) {
    return QStringLiteral("ファイル(") + path + QStringLiteral(")") + what + cause;
}

QString sourceMessage(const QString& name, const QString& what, const QString& cause) {
    return QStringLiteral("テーブルまたはクエリー(") + name + QStringLiteral(")") + what + cause;
}

// Both paths name one existing file (the same file reached by two spellings counts too).
bool sameFile(const QString& a, const QString& b) {
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

}  // namespace

std::optional<QString> ExportToCsv(const QString& outputPath, const QString& sourceName,
                                   bool isTitle, const QString& connectionString,
                                   const ExportSourceOpener& opener) {
    const QString databasePath = parseConnectionString(connectionString).dataSource;
    // Replacing the database with its own export would lose it.
    if (sameFile(outputPath, databasePath)) {
        return fileMessage(outputPath, QStringLiteral("には出力できません。"),
                           QStringLiteral("出力先が読み込むデータベースそのものです。"));
    }

    // The output comes first, so an unwritable target is reported before the database is read.
    CsvExportWriter writer(outputPath);
    if (std::optional<QString> cause = writer.open()) {
        return fileMessage(outputPath, QStringLiteral("を作成できません。"), *cause);
    }

    ExportSourceOpening opening = opener(connectionString, sourceName);
    if (opening.failure != ExportSourceOpening::Failure::None || !opening.source) {
        writer.discard();
        if (opening.failure == ExportSourceOpening::Failure::Cancelled) {
            return QString();
        }
        if (opening.failure == ExportSourceOpening::Failure::Database) {
            return QStringLiteral("データベース(") + databasePath +
                   QStringLiteral(")を開くことができません。") + opening.cause;
        }
        return sourceMessage(sourceName, QStringLiteral("を開くことができません。"), opening.cause);
    }

    ExportRowSource& source = *opening.source;
    std::vector<DbValue> row;
    bool more = source.nextRow(row);
    // The header line is written only above rows: an empty source gives an empty file.
    if (more && isTitle && !writer.writeHeader(source.columnNames())) {
        const QString cause = writer.writeFailure();
        writer.discard();
        return fileMessage(outputPath, QStringLiteral("に書き込めません。"), cause);
    }
    while (more) {
        if (!writer.writeRow(row)) {
            const QString cause = writer.writeFailure();
            writer.discard();
            return fileMessage(outputPath, QStringLiteral("に書き込めません。"), cause);
        }
        more = source.nextRow(row);
    }
    if (std::optional<QString> failure = source.failure()) {
        writer.discard();
        return sourceMessage(sourceName, QStringLiteral("を読み込めません。"), *failure);
    }
    opening.source.reset();  // closes the recordset and the connection before the file is placed

    if (std::optional<QString> cause = writer.commit()) {
        return fileMessage(outputPath, QStringLiteral("を保存できません。"), *cause);
    }
    return std::nullopt;
}

}  // namespace korvane
