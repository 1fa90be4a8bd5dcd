#pragma once
// The program-wide state, the file-type detection and the open dispatch.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace korvane {

class TreePane;
class ListPane;

// 0 none, 1 CSV, 2 Excel workbook, 3 Access database, 4 TXT
using FileType = int16_t;
constexpr FileType kFileNone = 0;
constexpr FileType kFileCsv = 1;
constexpr FileType kFileExcel = 2;
constexpr FileType kFileDatabase = 3;
constexpr FileType kFileTxt = 4;

struct ProgramState {
    FileType CurrentFileType = kFileNone;
    QStringList SheetNames;  // sheets are numbered from 1; here index 0 holds sheet 1
    QStringList TableNames;
    QStringList QueryNames;
    QString DatabaseConnectionString;
};

// The one instance, living until the program ends.
ProgramState& programState();

void InitProgramState();
FileType GetFileType(const QString& path);

// A loader takes (path, tree pane, list pane) and returns nothing.
using Loader = std::function<void(const QString&, TreePane&, ListPane&)>;
// The loader of each file type; the application registers them at start-up and tests fill
// them as they need.
void setLoader(FileType type, Loader loader);

void OpenFile(const QString& path, TreePane& treePane, ListPane& listPane);

// Shows the text in a new modal DialogMessage.
void ShowMessage(const QString& text);

// An ordinary file exists at the path: not a directory, not hidden (name beginning with "."),
// a link counts when it leads to an ordinary file.
bool OrdinaryFileExists(const QString& path);

}  // namespace korvane
