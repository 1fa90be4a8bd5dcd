// korvane-cli list: the catalogue of a file without its dialog: the tree records the window
// shows for it (the file's name, its sheets, or its tables and select queries), so a script can
// find the names before `show` or `export`.
#include "app/StandardLoaders.h"
#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"
#include "text/CsvText.h"

namespace korvane::cli {

namespace {

// A group node with its names below it, as the loaders draw them; nothing for no names.
void addGroup(TreePane& tree, const QString& key, const QStringList& names) {
    if (names.isEmpty()) {
        return;
    }
    tree.setBold(tree.addRoot(key, key), true);
    for (const QString& name : names) {
        tree.addChild(key, name);
    }
    tree.setExpanded(tree.find(key), true);
}

TreePane catalogueTree(const QString& file, FileType type) {
    TreePane tree;
    const ProgramState& state = programState();
    if (type == kFileCsv || type == kFileTxt) {
        const PathParts parts = SplitPath(file);
        tree.addRoot(QStringLiteral("CSVファイル"),
                     parts.baseName + QLatin1Char('.') + parts.extension);
    } else if (type == kFileExcel) {
        addGroup(tree, QStringLiteral("Excel"), state.SheetNames);
    } else if (type == kFileDatabase) {
        addGroup(tree, QStringLiteral("テーブル"), state.TableNames);
        addGroup(tree, QStringLiteral("選択クエリー"), state.QueryNames);
    }
    return tree;
}

}  // namespace

int runList(const QStringList& args) {
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        return usageError(args.isEmpty() ? QStringLiteral("list needs a file")
                                         : QStringLiteral("list takes one file and no options"));
    }
    const QString& file = args.first();
    ScriptedInteraction interaction([](const QStringList& record) { printRecord(record); });
    // The catalogue is read before the dialog asks anything; the dialog is then closed.
    for (const char* dialog : {"DialogConfirmCSV", "DialogConfirmXLS", "DialogConfirmMDB"}) {
        interaction.setDialogSteps(
            QLatin1String(dialog),
            {ScriptStep{ScriptStep::Action::Close, QStringLiteral("OKButton"), {}, -1, true}});
    }
    setUserInteraction(&interaction);
    registerStandardLoaders();
    InitProgramState();
    TreePane shownTree;
    ListPane shownList;
    OpenFile(file, shownTree, shownList);
    setUserInteraction(nullptr);

    const FileType type = programState().CurrentFileType;
    // The open's own message, or the catalogue's, has been printed.
    if (type == kFileNone || !interaction.records().empty()) {
        return kExitFailed;
    }
    printRecord({QStringLiteral("filetype"), QString::number(type)});
    printTree(catalogueTree(file, type));
    return kExitOk;
}

}  // namespace korvane::cli
