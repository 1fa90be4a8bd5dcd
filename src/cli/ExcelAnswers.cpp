#include "cli/CliAnswers.h"

namespace korvane::cli {

namespace {

const QString kDialog = QStringLiteral("DialogConfirmXLS");

AnswerOption typedInto(const QString& option, const QString& box, const QString& description) {
    return AnswerOption{option,
                        true,
                        kDialog,
                        QStringLiteral("TEXT"),
                        description,
                        [box](const QString& value) {
                            return std::vector<ScriptStep>{typeText(box, value)}; }};
}

}  // namespace

std::vector<AnswerOption> excelAnswerOptions() {
    return {
        AnswerOption{QStringLiteral("--sheet"), true, kDialog, QStringLiteral("NAME"),
                     QStringLiteral("the sheet to show"),
                     [](const QString& value) {
                         return std::vector<ScriptStep>{selectLine(QStringLiteral("List1"), value)};
                     }},
        AnswerOption{QStringLiteral("--sheet-index"), true, kDialog, QStringLiteral("K"),
                     QStringLiteral("the K-th sheet, counting from 1"),
                     [](const QString& value) {
                         return std::vector<ScriptStep>{
                             selectLineIndex(QStringLiteral("List1"), value)};
                     }},
        // The boxes keep their defaults (1, 1, 20, 20) unless an option types into them.
        typedInto(QStringLiteral("--col"), QStringLiteral("Text1"),
                  QStringLiteral("the first column, as a number (default 1)")),
        typedInto(QStringLiteral("--row"), QStringLiteral("Text2"),
                  QStringLiteral("the first row (default 1)")),
        typedInto(QStringLiteral("--cols"), QStringLiteral("Text3"),
                  QStringLiteral("how many columns, 1-255 (default 20)")),
        typedInto(QStringLiteral("--rows"), QStringLiteral("Text4"),
                  QStringLiteral("how many rows, up to 32767 (default 20)")),
    };
}

}  // namespace korvane::cli
