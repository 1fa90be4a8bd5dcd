#include "shell/ProgramState.h"

#include <QFileInfo>
#include <array>

#include "platform/UserInteraction.h"
#include "shell/ListPane.h"
#include "shell/ShellTexts.h"
#include "shell/TreePane.h"

namespace korvane {

namespace {

ProgramState g_state;
std::array<Loader, 5> g_loaders;

}  // namespace

ProgramState& programState() {
    return g_state;
}

void InitProgramState() {
    g_state.CurrentFileType = kFileNone;
    g_state.SheetNames.clear();
    g_state.TableNames.clear();
    g_state.QueryNames.clear();
}

FileType GetFileType(const QString& path) {
    if (path.size() <= 4) {
        return kFileNone;
    }
    const QString tail = path.right(3).toLower();
    if (tail == QLatin1String("csv")) {
        return kFileCsv;
    }
    if (tail == QLatin1String("xls")) {
        return kFileExcel;
    }
    if (tail == QLatin1String("mdb")) {
        return kFileDatabase;
    }
    if (tail == QLatin1String("txt")) {
        return kFileTxt;
    }
    return kFileNone;
}

void setLoader(FileType type, Loader loader) {
    if (type > 0 && type < static_cast<FileType>(g_loaders.size())) {
        g_loaders[type] = std::move(loader);
    }
}

bool OrdinaryFileExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    // Hidden files are not found, like a search that leaves hidden files out; QFileInfo
    // follows links, so a link to an ordinary file counts as that file.
    return info.exists() && info.isFile() && !info.fileName().startsWith(QLatin1Char('.'));
}

void OpenFile(const QString& path, TreePane& treePane, ListPane& listPane) {
    if (!OrdinaryFileExists(path)) {
        userInteraction().showMessage(textOf(ShellMessage::NoSuchFile, {path}), false);
        return;
    }
    const FileType type = GetFileType(path);
    if (type == kFileNone) {
        userInteraction().showMessage(textOf(ShellMessage::NotAKnownFileType), false);
        return;
    }
    g_state.CurrentFileType = type;
    treePane.clear();
    listPane.clearColumnHeaders();
    listPane.clearListItems();
    const FileType loaderType = type == kFileTxt ? kFileCsv : type;
    if (g_loaders[loaderType]) {
        g_loaders[loaderType](path, treePane, listPane);
    }
}

void ShowMessage(const QString& text) {
    userInteraction().showMessage(text, true);
}

}  // namespace korvane
