// korvane-cli: runs the window's own code (open dispatch, loaders, the real dialogs offscreen)
// with answers from the command line, and prints what the panes and messages hold.
#include <QApplication>

#include "cli/Commands.h"
#include "shell/JapaneseTranslation.h"
#include "shell/RuntimeDirNote.h"

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    korvane::hideMissingRuntimeDirNote();
    QApplication app(argc, argv);
    korvane::installJapaneseTranslation(app);
    const QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty()) {
        return korvane::cli::usageError({});
    }
    if (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        return korvane::cli::runHelp();
    }
    if (args.first() == QLatin1String("--version")) {
        return korvane::cli::runVersion();
    }
    if (args.first() == QLatin1String("show")) {
        return korvane::cli::runShow(args.mid(1));
    }
    if (args.first() == QLatin1String("export")) {
        return korvane::cli::runExport(args.mid(1));
    }
    if (args.first() == QLatin1String("sql")) {
        return korvane::cli::runSql(args.mid(1));
    }
    if (args.first() == QLatin1String("list")) {
        return korvane::cli::runList(args.mid(1));
    }
    return korvane::cli::usageError(QStringLiteral("unknown command ") + args.first());
}
