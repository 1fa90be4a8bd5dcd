#pragma once
// The answer options of `korvane-cli show`: each names the dialog it answers, the steps a
// person would take in it and, for the usage, what it does. Each subsystem lists its own options.

#include <QString>
#include <functional>
#include <vector>

#include "shell/ScriptedInteraction.h"

namespace korvane::cli {

struct AnswerOption {
    QString option;       // "--lines"
    bool takesValue;      // "--lines TEXT"
    QString dialog;       // object name of the dialog it answers
    QString valueName;    // for the usage text: "TEXT", "NAME", "K"
    QString description;  // for the usage text: what the option does, in English
    std::function<std::vector<ScriptStep>(const QString& value)> steps;
};

// Options of the display-range dialogs, one list per subsystem.
std::vector<AnswerOption> csvAnswerOptions();
std::vector<AnswerOption> excelAnswerOptions();
std::vector<AnswerOption> databaseAnswerOptions();

// Every answer option, in usage order.
std::vector<AnswerOption> allAnswerOptions();

// Helpers for the step lists.
ScriptStep click(const QString& object);
ScriptStep typeText(const QString& object, const QString& text);
ScriptStep check(const QString& object, bool checked);
ScriptStep selectLine(const QString& object, const QString& text);
// `oneBased` is the K of "--...-index K"; a K that is not a positive number selects no line.
ScriptStep selectLineIndex(const QString& object, const QString& oneBased);

}  // namespace korvane::cli
