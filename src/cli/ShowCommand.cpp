#include <QHash>

#include "app/StandardLoaders.h"
#include "cli/CliAnswers.h"
#include "cli/CliOutput.h"
#include "cli/CliProblems.h"
#include "cli/Commands.h"
#include "cli/ParamAnswers.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"
#include "shell/TreePane.h"

namespace korvane::cli {

int runShow(const QStringList& args) {
    const std::vector<AnswerOption> options = allAnswerOptions();
    QHash<QString, std::vector<ScriptStep>> steps;
    bool summary = false;
    bool cancel = false;
    std::vector<QueryValue> params;
    QString file;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--summary")) {
            summary = true;
            continue;
        }
        if (arg == QLatin1String("--cancel")) {
            cancel = true;
            continue;
        }
        if (arg == QLatin1String("--param")) {
            if (i + 1 >= args.size()) {
                return usageError(arg + QStringLiteral(" needs a value"));
            }
            if (const std::optional<QString> problem = addParamAnswer(args[++i], params)) {
                return usageError(*problem);
            }
            continue;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            if (!file.isEmpty()) {
                return usageError(QStringLiteral("show takes one file"));
            }
            file = arg;
            continue;
        }
        bool known = false;
        for (const AnswerOption& option : options) {
            if (option.option != arg) {
                continue;
            }
            known = true;
            QString value;
            if (option.takesValue) {
                if (i + 1 >= args.size()) {
                    return usageError(arg + QStringLiteral(" needs a value"));
                }
                value = args[i + 1];
            }
            auto added = option.steps(value);
            auto& list = steps[option.dialog];
            list.insert(list.end(), added.begin(), added.end());
        }
        if (!known) {
            return usageError(QStringLiteral("unknown option ") + arg);
        }
        for (const AnswerOption& option : options) {
            if (option.option == arg && option.takesValue) {
                ++i;  // the value was taken above
                break;
            }
        }
    }
    if (file.isEmpty()) {
        return usageError(QStringLiteral("show needs a file"));
    }

    ScriptedInteraction interaction([](const QStringList& record) { printRecord(record); });
    QStringList dialogs;
    for (const AnswerOption& option : options) {
        if (!dialogs.contains(option.dialog)) {
            dialogs.append(option.dialog);
        }
    }
    for (const QString& dialog : dialogs) {
        std::vector<ScriptStep> list = steps.value(dialog);
        list.push_back(click(cancel ? QStringLiteral("CancelButton") : QStringLiteral("OKButton")));
        interaction.setDialogSteps(dialog, std::move(list));
    }
    answerQueryValues(interaction, std::move(params));
    setUserInteraction(&interaction);
    registerStandardLoaders();
    InitProgramState();

    TreePane tree;
    ListPane list;
    OpenFile(file, tree, list);
    setUserInteraction(nullptr);

    if (interaction.scriptError()) {
        return usageError(describeAnswerProblem(interaction, file));
    }
    printRecord({QStringLiteral("filetype"), QString::number(programState().CurrentFileType)});
    printPanes(tree, list, summary);
    return interaction.dialogLeftOpen() ? kExitDialogLeftOpen : kExitOk;
}

}  // namespace korvane::cli
