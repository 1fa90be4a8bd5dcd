#include "cli/CliAnswers.h"

namespace korvane::cli {

std::vector<AnswerOption> csvAnswerOptions() {
    const QString dialog = QStringLiteral("DialogConfirmCSV");
    return {
        // The text goes into Text1 exactly as given, so "12abc" and "2.5" are read as typed.
        {QStringLiteral("--lines"), true, dialog, QStringLiteral("TEXT"),
         QStringLiteral("the number of records, as typed (default 100, all if fewer)"),
         [](const QString& value) {
             return std::vector<ScriptStep>{click(QStringLiteral("Option1")),
                                            typeText(QStringLiteral("Text1"), value)};
         }},
        {QStringLiteral("--all"), false, dialog, QString(), QStringLiteral("show every record"),
         [](const QString&) { return std::vector<ScriptStep>{click(QStringLiteral("Option2"))}; }},
        {QStringLiteral("--title"), false, dialog, QString(),
         QStringLiteral("the first line holds the column titles"),
         [](const QString&) {
             return std::vector<ScriptStep>{check(QStringLiteral("Check1"), true)};
         }},
    };
}

}  // namespace korvane::cli
