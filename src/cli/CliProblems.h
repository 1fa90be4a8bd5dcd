#pragma once
// What went wrong with an answer, said in the terms of the command line: the option, the value,
// the file, and what the file does hold (never a control name).

#include <QString>

namespace korvane {
class ScriptedInteraction;
}

namespace korvane::cli {

// The problem of the answers `interaction` could not give for `file`, or an empty text when
// every answer was given.
QString describeAnswerProblem(const ScriptedInteraction& interaction, const QString& file);

}  // namespace korvane::cli
