#include "cli/CliAnswers.h"

namespace korvane::cli {

std::vector<AnswerOption> allAnswerOptions() {
    std::vector<AnswerOption> all;
    for (auto list : {csvAnswerOptions(), excelAnswerOptions(), databaseAnswerOptions()}) {
        all.insert(all.end(), list.begin(), list.end());
    }
    return all;
}

ScriptStep click(const QString& object) {
    return ScriptStep{ScriptStep::Action::Click, object, {}, -1, true};
}

ScriptStep typeText(const QString& object, const QString& text) {
    return ScriptStep{ScriptStep::Action::SetText, object, text, -1, true};
}

ScriptStep check(const QString& object, bool checked) {
    return ScriptStep{ScriptStep::Action::SetChecked, object, {}, -1, checked};
}

ScriptStep selectLine(const QString& object, const QString& text) {
    return ScriptStep{ScriptStep::Action::SelectText, object, text, -1, true};
}

ScriptStep selectLineIndex(const QString& object, const QString& oneBased) {
    bool ok = false;
    const int k = oneBased.toInt(&ok);
    return ScriptStep{ScriptStep::Action::SelectIndex, object, oneBased, ok && k > 0 ? k - 1 : -1,
                      true};
}

}  // namespace korvane::cli
