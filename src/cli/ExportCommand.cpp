// korvane-cli export: opens the file as a person would (its display dialog closed with the
// window's close command, so no rows are shown), then runs File > Convert with the answers. A
// file that is not a database gets Convert's own explanation, as in the window.
#include <cstdio>
#include <variant>

#include "app/StandardLoaders.h"
#include "cli/CliAnswers.h"
#include "cli/CliOutput.h"
#include "cli/CliProblems.h"
#include "cli/Commands.h"
#include "cli/ParamAnswers.h"
#include "export/ConvertCommand.h"
#include "platform/mdb/DataAccess.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"

namespace korvane::cli {

namespace {

struct ExportArguments {
    bool title = false;
    bool query = false;
    QString source;
    QString database;
    QString output;
    std::vector<QueryValue> params;
};

// The arguments, or the usage problem.
std::variant<ExportArguments, QString> parseExportArguments(const QStringList& args) {
    ExportArguments parsed;
    bool sourceGiven = false;
    QStringList files;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--title")) {
            parsed.title = true;
        } else if (arg == QLatin1String("--param")) {
            if (i + 1 >= args.size()) {
                return arg + QStringLiteral(" needs a value");
            }
            if (const std::optional<QString> problem = addParamAnswer(args[++i], parsed.params)) {
                return *problem;
            }
        } else if (arg == QLatin1String("--table") || arg == QLatin1String("--query")) {
            if (sourceGiven) {
                return QStringLiteral("export takes one --table or --query");
            }
            if (i + 1 >= args.size()) {
                return arg + QStringLiteral(" needs a value");
            }
            sourceGiven = true;
            parsed.query = arg == QLatin1String("--query");
            parsed.source = args[++i];
        } else if (arg.startsWith(QLatin1String("--"))) {
            return QStringLiteral("unknown option ") + arg;
        } else {
            files.append(arg);
        }
    }
    if (!sourceGiven) {
        return QStringLiteral("export needs --table NAME or --query NAME");
    }
    if (files.size() != 2) {
        return QStringLiteral("export needs DB.mdb and OUT.csv");
    }
    parsed.database = files[0];
    parsed.output = files[1];
    return parsed;
}

}  // namespace

int runExport(const QStringList& args) {
    const auto parsed = parseExportArguments(args);
    if (const QString* problem = std::get_if<QString>(&parsed)) {
        return usageError(*problem);
    }
    const ExportArguments& arguments = std::get<ExportArguments>(parsed);

    ScriptedInteraction interaction([](const QStringList& record) { printRecord(record); });
    for (const char* dialog : {"DialogConfirmCSV", "DialogConfirmXLS", "DialogConfirmMDB"}) {
        interaction.setDialogSteps(
            QLatin1String(dialog),
            {ScriptStep{ScriptStep::Action::Close, QStringLiteral("OKButton"), {}, -1, true}});
    }
    interaction.queueSaveFileName(arguments.output);
    interaction.setDialogSteps(
        QStringLiteral("DialogSelectOutputTable"),
        {click(QStringLiteral("Command1")),
         click(arguments.query ? QStringLiteral("Option4") : QStringLiteral("Option3")),
         selectLine(arguments.query ? QStringLiteral("List2") : QStringLiteral("List1"),
                    arguments.source),
         check(QStringLiteral("Check1"), arguments.title), click(QStringLiteral("OKButton"))});
    answerQueryValues(interaction, arguments.params);
    setUserInteraction(&interaction);
    registerStandardLoaders();
    InitProgramState();

    TreePane tree;
    ListPane list;
    // The open and the export share one reader session.
    const SharedDatabaseSession sharedSession;
    OpenFile(arguments.database, tree, list);
    bool written = false;
    // A path that is missing or of no known type has had the open's message; any file that
    // opened goes on to Convert, which explains itself unless it is a database.
    if (programState().CurrentFileType != kFileNone) {
        written = ConvertCommand();
    }
    setUserInteraction(nullptr);

    if (interaction.scriptError()) {
        // The named table or query is not in the database's lists.
        const QByteArray text =
            (QStringLiteral("korvane-cli: ") +
             describeAnswerProblem(interaction, arguments.database) + QLatin1Char('\n'))
                .toUtf8();
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
        return kExitFailed;
    }
    if (interaction.dialogLeftOpen()) {
        return kExitDialogLeftOpen;
    }
    return written ? kExitOk : kExitFailed;
}

}  // namespace korvane::cli
