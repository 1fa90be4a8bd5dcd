#include "cli/CliAnswers.h"

namespace korvane::cli {

namespace {

const QString kDialog = QStringLiteral("DialogConfirmXLS");

AnswerOption typedInto(const QString& option, const QString& box) {
    return AnswerOption{option, true, kDialog, QStringLiteral("TEXT"), [box](const QString& value) {
                            return std::vector<ScriptStep>{typeText(box, value)};
                        }};
}

}  // namespace

std::vector<AnswerOption> excelAnswerOptions() {
    return {
        AnswerOption{QStringLiteral("--sheet"), true, kDialog, QStringLiteral("NAME"),
                     [](const QString& value) {
                         return std::vector<ScriptStep>{selectLine(QStringLiteral("List1"), value)};
                     }},
        AnswerOption{QStringLiteral("--sheet-index"), true, kDialog, QStringLiteral("K"),
                     [](const QString& value) {
                         return std::vector<ScriptStep>{
                             selectLineIndex(QStringLiteral("List1"), value)};
                     }},
        // The boxes keep their defaults (1, 1, 20, 20) unless an option types into them.
        typedInto(QStringLiteral("--col"), QStringLiteral("Text1")),
        typedInto(QStringLiteral("--row"), QStringLiteral("Text2")),
        typedInto(QStringLiteral("--cols"), QStringLiteral("Text3")),
        typedInto(QStringLiteral("--rows"), QStringLiteral("Text4")),
    };
}

}  // namespace korvane::cli
