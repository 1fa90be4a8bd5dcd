#pragma once
// The commands of korvane-cli. Each returns the process exit code:
// 0 done, 1 the command failed, 2 bad usage, 3 a dialog stayed open after its answers.

#include <QStringList>

namespace korvane::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitDialogLeftOpen = 3;

int runShow(const QStringList& args);
int runExport(const QStringList& args);
int runList(const QStringList& args);
int runSql(const QStringList& args);

// What each command and option does, the text of --help.
QString usageText();
// Prints the usage text (with `problem` first when given) to stderr and returns kExitUsage.
int usageError(const QString& problem);
// --help: the usage text on stdout. --version: the program's name and version on stdout.
int runHelp();
int runVersion();

}  // namespace korvane::cli
