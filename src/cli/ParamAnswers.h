#pragma once
// --param NAME=VALUE of `show` and `export`: the answers of the dialog "パラメーターの入力",
// each given to the value whose name it names (brackets and letter case aside).

#include <QString>
#include <optional>
#include <vector>

#include "platform/accessquery/AccessQuery.h"
#include "shell/ScriptedInteraction.h"

namespace korvane::cli {

// Adds the value of one --param; the usage problem when it is not NAME=VALUE.
std::optional<QString> addParamAnswer(const QString& option, std::vector<QueryValue>& answers);

// Answers each value dialog with its --param; a value without one is not answered, so the
// query says which value it needs.
void answerQueryValues(ScriptedInteraction& interaction, std::vector<QueryValue> answers);

}  // namespace korvane::cli
