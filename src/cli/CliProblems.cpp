#include "cli/CliProblems.h"

#include <QFileInfo>
#include <QStringList>

#include "shell/ScriptedInteraction.h"

namespace korvane::cli {

namespace {

// What the lists of the dialogs hold, and the option that picks a line by its number.
struct ListMeaning {
    const char* dialog;
    const char* list;
    const char* noun;
    const char* plural;
    const char* indexOption;
};

const ListMeaning kLists[] = {
    {"DialogConfirmMDB", "List1", "table", "tables", "--table-index"},
    {"DialogConfirmMDB", "List2", "query", "queries", "--query-index"},
    {"DialogSelectOutputTable", "List1", "table", "tables", nullptr},
    {"DialogSelectOutputTable", "List2", "query", "queries", nullptr},
    {"DialogConfirmXLS", "List1", "sheet", "sheets", "--sheet-index"},
};

const ListMeaning* meaningOf(const ScriptFailure& failure) {
    for (const ListMeaning& meaning : kLists) {
        if (failure.dialog == QLatin1String(meaning.dialog) &&
            failure.step.object == QLatin1String(meaning.list)) {
            return &meaning;
        }
    }
    return nullptr;
}

QString holding(const ListMeaning& meaning, const QStringList& lines) {
    if (lines.isEmpty()) {
        return QStringLiteral("it has no ") + QLatin1String(meaning.plural);
    }
    return QLatin1String(meaning.plural) + QStringLiteral(": ") + lines.join(QStringLiteral(", "));
}

}  // namespace

QString describeAnswerProblem(const ScriptedInteraction& interaction, const QString& file) {
    const std::optional<ScriptFailure>& failure = interaction.scriptFailure();
    if (!failure) {
        return interaction.scriptError().value_or(QString());
    }
    const ListMeaning* meaning = meaningOf(*failure);
    if (meaning == nullptr) {
        return interaction.scriptError().value_or(QString());
    }
    const QString name = QFileInfo(file).fileName();
    const ScriptStep& step = failure->step;
    if (step.action == ScriptStep::Action::SelectText) {
        return QStringLiteral("no %1 \"%2\" in %3; %4")
            .arg(QLatin1String(meaning->noun), step.text, name, holding(*meaning, failure->lines));
    }
    const QString option = QLatin1String(meaning->indexOption);
    if (step.index < 0) {
        return QStringLiteral("%1 takes a number from 1, not \"%2\"").arg(option, step.text);
    }
    return QStringLiteral("no %1 number %2 in %3 (%4 %2); %5")
        .arg(QLatin1String(meaning->noun), step.text, name, option,
             holding(*meaning, failure->lines));
}

}  // namespace korvane::cli
