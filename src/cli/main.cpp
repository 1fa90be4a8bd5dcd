// korvane-cli: runs the window's own code (open dispatch, loaders, the real dialogs offscreen)
// with answers from the command line, and prints what the panes and messages hold.
#include <QApplication>
#include <cstdio>

#include "cli/CliAnswers.h"
#include "cli/Commands.h"
#include "shell/JapaneseTranslation.h"

namespace korvane::cli {

int usageError(const QString& problem) {
    QString text;
    if (!problem.isEmpty()) {
        text += QStringLiteral("korvane-cli: ") + problem + QLatin1Char('\n');
    }
    text += QStringLiteral(
        "usage: korvane-cli show [--summary] [--cancel] [answers] FILE\n"
        "       korvane-cli export [--title] (--table NAME | --query NAME) DB.mdb OUT.csv\n"
        "       korvane-cli list FILE\n"
        "answers:\n");
    for (const AnswerOption& option : allAnswerOptions()) {
        text += QStringLiteral("  ") + option.option;
        if (option.takesValue) {
            text += QLatin1Char(' ') + option.valueName;
        }
        text += QStringLiteral("  (") + option.dialog + QStringLiteral(")\n");
    }
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stderr);
    return kExitUsage;
}

}  // namespace korvane::cli

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    korvane::installJapaneseTranslation(app);
    const QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty()) {
        return korvane::cli::usageError({});
    }
    if (args.first() == QLatin1String("show")) {
        return korvane::cli::runShow(args.mid(1));
    }
    if (args.first() == QLatin1String("export")) {
        return korvane::cli::runExport(args.mid(1));
    }
    if (args.first() == QLatin1String("list")) {
        return korvane::cli::runList(args.mid(1));
    }
    return korvane::cli::usageError(QStringLiteral("unknown command ") + args.first());
}
