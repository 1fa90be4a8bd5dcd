#include "cli/CliAnswers.h"

namespace korvane::cli {

std::vector<AnswerOption> databaseAnswerOptions() {
    const QString dialog = QStringLiteral("DialogConfirmMDB");
    return {
        {QStringLiteral("--table"), true, dialog, QStringLiteral("NAME"),
         QStringLiteral("the table to show"),
         [](const QString& name) {
             return std::vector<ScriptStep>{check(QStringLiteral("Option3"), true),
                                            selectLine(QStringLiteral("List1"), name)};
         }},
        {QStringLiteral("--query"), true, dialog, QStringLiteral("NAME"),
         QStringLiteral("the select query to show"),
         [](const QString& name) {
             return std::vector<ScriptStep>{check(QStringLiteral("Option4"), true),
                                            selectLine(QStringLiteral("List2"), name)};
         }},
        {QStringLiteral("--table-index"), true, dialog, QStringLiteral("K"),
         QStringLiteral("the K-th table, counting from 1"),
         [](const QString& k) {
             return std::vector<ScriptStep>{check(QStringLiteral("Option3"), true),
                                            selectLineIndex(QStringLiteral("List1"), k)};
         }},
        {QStringLiteral("--query-index"), true, dialog, QStringLiteral("K"),
         QStringLiteral("the K-th select query, counting from 1"),
         [](const QString& k) {
             return std::vector<ScriptStep>{check(QStringLiteral("Option4"), true),
                                            selectLineIndex(QStringLiteral("List2"), k)};
         }},
        {QStringLiteral("--count"), true, dialog, QStringLiteral("TEXT"),
         QStringLiteral("the number of records, as typed (default all)"),
         [](const QString& text) {
             return std::vector<ScriptStep>{check(QStringLiteral("Option1"), true),
                                            typeText(QStringLiteral("Text1"), text)};
         }},
        {QStringLiteral("--all"), false, dialog, QString(), QStringLiteral("show every record"),
         [](const QString&) {
             return std::vector<ScriptStep>{check(QStringLiteral("Option2"), true)};
         }},
    };
}

}  // namespace korvane::cli
