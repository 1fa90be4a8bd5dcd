// The usage text of korvane-cli, for --help on stdout and for bad usage on stderr, and the
// version line of --version.
#include <cstdio>

#include "cli/CliAnswers.h"
#include "cli/Commands.h"
#include "shell/ProgramInfo.h"

namespace korvane::cli {

namespace {

struct OptionLine {
    QString option;  // "--sheet-index K"
    QString description;
};

// Options and their descriptions in two columns; a long option pushes its text to the next line.
QString optionLines(const QString& heading, const std::vector<OptionLine>& lines) {
    constexpr int kColumn = 20;
    QString text = QLatin1Char('\n') + heading + QStringLiteral(":\n");
    for (const OptionLine& line : lines) {
        QString left = QStringLiteral("  ") + line.option;
        left = left.size() < kColumn ? left.leftJustified(kColumn)
                                     : left + QLatin1Char('\n') + QString(kColumn, u' ');
        text += left + line.description + QLatin1Char('\n');
    }
    return text;
}

QString answerLines(const QString& heading, const std::vector<AnswerOption>& options) {
    std::vector<OptionLine> lines;
    for (const AnswerOption& option : options) {
        QString left = option.option;
        if (option.takesValue) {
            left += QLatin1Char(' ') + option.valueName;
        }
        lines.push_back({left, option.description});
    }
    return optionLines(heading, lines);
}

void write(FILE* stream, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stream);
}

}  // namespace

QString usageText() {
    QString text = QStringLiteral(
        "usage: korvane-cli show [--summary] [--cancel] [--param N=V]... [answers] FILE\n"
        "       korvane-cli export [--title] [--param N=V]... (--table NAME | --query NAME)\n"
        "                          DB.mdb OUT.csv\n"
        "       korvane-cli sql DB.mdb QUERY\n"
        "       korvane-cli list FILE\n"
        "       korvane-cli --help | -h | --version\n"
        "\n"
        "show opens FILE as the window does, answers its display-range dialog and\n"
        "prints what the panes hold; export writes one table or select query of an\n"
        "Access database to a CSV file; list prints the file's name, sheets, or tables\n"
        "and select queries, without a dialog; sql prints a saved query's Access SQL.\n");
    text += optionLines(QStringLiteral("general options"),
                        {{QStringLiteral("--summary"),
                          QStringLiteral("show: print the number of rows, not the rows")},
                         {QStringLiteral("--cancel"),
                          QStringLiteral("show: close the dialog with Cancel instead of OK")},
                         {QStringLiteral("--param NAME=VALUE"),
                          QStringLiteral("show, export: the value a parameter query asks for by "
                                         "NAME (brackets and letter case aside); repeatable")},
                         {QStringLiteral("-h, --help"), QStringLiteral("print this text and exit")},
                         {QStringLiteral("--version"),
                          QStringLiteral("print the program's name and version and exit")}});
    text += answerLines(QStringLiteral("answers for CSV and TXT files"), csvAnswerOptions());
    text += answerLines(QStringLiteral("answers for Excel workbooks (.xls)"), excelAnswerOptions());
    text +=
        answerLines(QStringLiteral("answers for Access databases (.mdb)"), databaseAnswerOptions());
    text += optionLines(
        QStringLiteral("export of an Access database"),
        {{QStringLiteral("--table NAME"), QStringLiteral("the table to write")},
         {QStringLiteral("--query NAME"), QStringLiteral("the select query to write")},
         {QStringLiteral("--title"), QStringLiteral("write the column names as the first line")}});
    text += QStringLiteral(
        "\n"
        "Records are printed one a line, fields separated by TAB. Exit status: 0 done,\n"
        "1 failed, 2 bad usage, 3 a dialog stayed open after its answers.\n"
        "See korvane-cli(1).\n");
    return text;
}

int usageError(const QString& problem) {
    QString text;
    if (!problem.isEmpty()) {
        text += QStringLiteral("korvane-cli: ") + problem + QLatin1Char('\n');
    }
    write(stderr, text + usageText());
    return kExitUsage;
}

int runHelp() {
    write(stdout, usageText());
    return kExitOk;
}

int runVersion() {
    write(stdout, programName() + QLatin1Char(' ') + programVersion() + QLatin1Char('\n'));
    return kExitOk;
}

}  // namespace korvane::cli
