#include "cli/ParamAnswers.h"

#include "cli/CliAnswers.h"
#include "shell/DialogParameter.h"

namespace korvane::cli {

namespace {

QString bare(QString name) {
    return name.remove(QLatin1Char('[')).remove(QLatin1Char(']')).trimmed();
}

}  // namespace

std::optional<QString> addParamAnswer(const QString& option, std::vector<QueryValue>& answers) {
    const int equals = option.indexOf(QLatin1Char('='));
    const QString name = equals < 0 ? QString() : bare(option.left(equals));
    if (name.isEmpty()) {
        return QStringLiteral("--param takes NAME=VALUE, not \"%1\"").arg(option);
    }
    answers.push_back({name, option.mid(equals + 1)});
    return std::nullopt;
}

void answerQueryValues(ScriptedInteraction& interaction, std::vector<QueryValue> answers) {
    interaction.setDialogAnswerer(
        QStringLiteral("DialogParameter"),
        [answers = std::move(answers)](QDialog& dialog) -> std::optional<std::vector<ScriptStep>> {
            const auto* asking = qobject_cast<const DialogParameter*>(&dialog);
            if (!asking) {
                return std::nullopt;
            }
            for (const QueryValue& answer : answers) {
                if (answer.name.compare(bare(asking->m_parameterName), Qt::CaseInsensitive) == 0) {
                    return std::vector<ScriptStep>{typeText(QStringLiteral("Text1"), answer.typed),
                                                   click(QStringLiteral("OKButton"))};
                }
            }
            return std::nullopt;
        });
}

}  // namespace korvane::cli
