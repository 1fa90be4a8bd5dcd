// Access operators and functions, each evaluated as the only output column of a query over a
// one-row table, compared in the value's text form.

#include <gtest/gtest.h>

#include <random>

#include "QueryTestSupport.h"
#include "platform/accessquery/AccessTextOrder.h"

namespace korvane::test {
namespace {

using Kind = DbValue::Kind;

// T has one row: I 7, M -7, R 2.5, S "Münster", N Null text, Z "", D 2024-03-15 13:45:30,
// C 1234.5678 (currency), B True, F False.
struct Evaluated {
    QString text;  // cell text, or "ERROR: ..." on failure
    Kind kind = Kind::Null;
};

Evaluated evaluate(const QString& expression) {
    QueryCatalogue catalogue;
    catalogue.objects.push_back({1, "T", 1, 0});
    addSelectQuery(catalogue, 2, "q", {"T"}, {expression});
    MemoryTables tables;
    MemoryTable& t = tables.tables["T"];
    t.columns = {{"I", Kind::Integer},  {"M", Kind::Integer},  {"R", Kind::Real},
                 {"S", Kind::Text},     {"N", Kind::Text},     {"Z", Kind::Text},
                 {"D", Kind::DateTime}, {"C", Kind::Currency}, {"B", Kind::Boolean},
                 {"F", Kind::Boolean}};
    t.rows = {{integerValue(7), integerValue(-7), realValue(2.5), textValue("Münster"), nullValue(),
               textValue(""), dateValue(2024, 3, 15, 13, 45, 30), currencyValue(12345678),
               booleanValue(true), booleanValue(false)}};
    CollectingSink sink;
    const Status run = runSelectQuery("q", catalogue, tables, sink);
    if (!run) {
        return {QStringLiteral("ERROR: ") + run.failure().text(), Kind::Null};
    }
    if (sink.rows.size() != 1 || sink.rows[0].size() != 1) {
        return {QStringLiteral("shape %1").arg(sink.rows.size()), Kind::Null};
    }
    return {cellText(sink.rows[0][0]), sink.rows[0][0].kind};
}

struct ExprCase {
    const char* expression;
    const char* expected;  // text form; a leading "ERROR: " means the error must contain the rest
};

void checkAll(const std::vector<ExprCase>& cases) {
    for (const ExprCase& c : cases) {
        const Evaluated result = evaluate(QString::fromUtf8(c.expression));
        const QString expected = QString::fromUtf8(c.expected);
        if (expected.startsWith(QLatin1String("ERROR: "))) {
            EXPECT_TRUE(result.text.startsWith(QLatin1String("ERROR: ")) &&
                        result.text.contains(expected.mid(7)))
                << c.expression << " gave " << result.text;
        } else {
            EXPECT_EQ(result.text, expected) << c.expression;
        }
    }
}

TEST(AccessExpressions, Operators) {
    checkAll({
        {"I + 1", "8"},
        {"I - M", "14"},
        {"I * R", "17.5"},
        {"17 / 4", "4.25"},
        {"17 \\ 5", "3"},
        {"7.5 \\ 2", "4"},  // operands rounded half to even first: 8 \ 2
        {"17 Mod 5", "2"},
        {"-17 Mod 5", "-2"},
        {"2 ^ 10", "1024"},
        {"-2 ^ 2", "-4"},  // ^ binds tighter than the sign, as in VBA
        {"1 / 0", "ERROR: 0 による除算"},
        {"5 Mod 0", "ERROR: 0 による除算"},
        {"I & \"x\"", "7x"},
        {"N & \"x\"", "x"},
        {"N & N", "NULL"},
        {"D & \"\"", "2024/03/15 13:45:30"},
        {"C & \"\"", "1234.5678"},
        {"B & \"\"", "True"},
        {"N + 1", "NULL"},
        {"\"a\" + \"b\"", "ab"},
        {"\"2\" + 3", "5"},
        {"S = \"MÜNSTER\"", "True"},
        {"S <> \"münster\"", "False"},
        {"S < \"n\"", "True"},
        {"N = N", "NULL"},
        {"D > \"2024/01/01\"", "True"},
        {"D Between \"2024/03/01\" And \"2024/03/31\"", "True"},
        {"I = \"7\"", "True"},
        {"I In (\"7\", 8)", "True"},
        {"S = 7", "ERROR: 型の合わない値"},
        {"I Between 5 And 10", "True"},
        {"I Not Between 8 And 10", "True"},
        {"S Between \"m\" And \"N\"", "True"},
        {"I In (1, 7)", "True"},
        {"S In (\"x\", \"münster\")", "True"},
        {"I Not In (1, 7)", "False"},
        {"Not (I = 7)", "False"},
        {"Not I", "-8"},
        {"N Is Null", "True"},
        {"Z Is Null", "False"},
        {"S Is Not Null", "True"},
        {"True", "True"},
        {"B = Yes", "True"},
        {"F = Off", "True"},
        {"B And F", "False"},
        {"B Or F", "True"},
        {"B Xor B", "False"},
        {"F Imp F", "True"},
        {"B Eqv F", "False"},
        {"(N = 1) And F", "False"},
        {"(N = 1) Or B", "True"},
        {"(N = 1) And B", "NULL"},
        {"D + 1", "2024/03/16 13:45:30"},
        {"Fix(D - #3/14/2024#)", "1"},
        {"#1/2/2003#", "2003/01/02"},
        {"#2003-01-02 6:30:00 PM#", "2003/01/02 18:30:00"},
        {"C * 2", "2469.1356"},
        {"-C", "-1234.5678"},
        {"C + 0.0001", "1234.5679"},
        {"&H1F", "31"},
        {"1.5E3", "1500"},
    });
}

// Text compares in Access's order wherever the engine compares it: letters first without
// regard to accents, case, width or kana type, then accents; hyphens and apostrophes last.
TEST(AccessExpressions, TextCompareInAccessOrder) {
    const char* const pairs[][3] = {
        {"Pâté", "Pavlova", "<"},   {"Åland", "Alder", "<"},   {"Ñandú", "Nimbus", "<"},
        {"Öland", "Orchid", "<"},   {"Røgede", "Rössle", "<"}, {"Çay", "Birch", ">"},
        {"Pate", "Pâté", "<"},      {"abc", "ABC", "="},       {"Élan", "élan", "="},
        {"Straße", "strasse", "="}, {"æble", "aeblf", "<"},    {"coop", "co-op", "<"},
        {"co-op", "cop", "<"},      {"o'neil", "oneil", ">"},  {"ｱｲｳ", "アイウ", "="},
        {"あいう", "アイウ", "="},  {"ＡＢＣ", "abc", "="},    {"アイス", "アイウ", ">"},
        {"a b", "ab", "<"},         {"10", "9", "<"},          {"Zebra", "Ähre", ">"},
    };
    for (const auto& p : pairs) {
        const QString expression = QStringLiteral(
                                       "IIf(\"%1\" < \"%2\", \"<\", IIf(\"%1\" = \"%2\", "
                                       "\"=\", \">\"))")
                                       .arg(QString::fromUtf8(p[0]), QString::fromUtf8(p[1]));
        EXPECT_EQ(evaluate(expression).text, QString::fromUtf8(p[2])) << p[0] << " " << p[1];
    }
}

// Texts of ASCII alone are compared without the collator; they must fall in the collator's
// own order, or an index over both kinds of text would not hold together. An accented letter
// in front of both sends a pair through the collator with the same outcome.
TEST(AccessExpressions, AsciiTextsFollowTheCollatorsOrder) {
    const std::string alphabet = "aAbBzZ09 -'_,.;!?()&@#+<=>|~$\x01\t";
    std::mt19937 random(7);
    std::uniform_int_distribution<size_t> length(0, 5);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    const auto text = [&] {
        std::string s(length(random), ' ');
        for (char& c : s) {
            c = alphabet[pick(random)];
        }
        return s;
    };
    const std::string accent = "\xC3\xA9";  // é
    for (int i = 0; i < 5000; ++i) {
        const std::string a = text();
        const std::string b = text();
        const std::string ua = accent + a;
        const std::string ub = accent + b;
        ASSERT_EQ(compareAccessText(a.data(), a.size(), b.data(), b.size()),
                  compareAccessText(ua.data(), ua.size(), ub.data(), ub.size()))
            << "\"" << a << "\" \"" << b << "\"";
    }
}

TEST(AccessExpressions, LikePatterns) {
    checkAll({
        {"S Like \"m*\"", "True"},
        {"S Like \"*STER\"", "True"},
        {"S Like \"?ünster\"", "True"},
        {"S Like \"?unster\"", "False"},
        {"S Like \"[a-m]*\"", "True"},
        {"S Like \"[!a-m]*\"", "False"},
        {"\"a1\" Like \"a#\"", "True"},
        {"\"ab\" Like \"a#\"", "False"},
        {"\"a*b\" Like \"a[*]b\"", "True"},
        {"\"axb\" Like \"a[*]b\"", "False"},
        {"\"dd1\" Like \"d*#\"", "True"},
        {"Z Like \"*\"", "True"},
        {"Z Like \"?*\"", "False"},
        {"N Like \"*\"", "NULL"},
        {"S Not Like \"m*\"", "False"},
        {"\"a\" Like \"[a\"", "ERROR: Like"},
        {"\"a\" Like \"[z-a]\"", "ERROR: Like"},
        {"\"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab\" Like \"*a*a*a*a*a*a*a*a*a*c\"", "False"},
    });
}

TEST(AccessExpressions, TextFunctions) {
    checkAll({
        {"Left(S, 3)", "Mün"},
        {"Left(S, 0)", ""},
        {"Left(S, 100)", "Münster"},
        {"Left(N, 2)", "NULL"},
        {"Left(S, -1)", "ERROR: Left"},
        {"Right(S, 3)", "ter"},
        {"Mid(S, 2, 3)", "üns"},
        {"Mid(S, 4)", "ster"},
        {"Mid(S, 20)", ""},
        {"Mid(S, 0)", "ERROR: Mid"},
        {"Left(D, 4)", "2024"},
        {"Len(S)", "7"},
        {"Len(N)", "NULL"},
        {"Len(I)", "1"},
        {"InStr(S, \"ST\")", "4"},
        {"InStr(S, \"x\")", "0"},
        {"InStr(5, \"abcabc\", \"b\")", "5"},
        {"InStr(1, S, \"ST\", 0)", "0"},
        {"InStr(N, \"a\")", "NULL"},
        {"UCase(S)", "MÜNSTER"},
        {"LCase(\"ÄB\")", "äb"},
        {"Trim(\"  x  \")", "x"},
        {"LTrim(\"  x \")", "x "},
        {"RTrim(\" x  \")", " x"},
        {"Replace(\"aXbx\", \"x\", \"-\")", "a-b-"},
        {"Replace(N, \"x\", \"-\")", "NULL"},
        {"CStr(I)", "7"},
        {"CStr(D)", "2024/03/15 13:45:30"},
        {"CStr(R)", "2.5"},
        {"Val(\"  12abc\")", "12"},
        {"Val(\"1 2 3\")", "123"},
        {"Val(\"abc\")", "0"},
        {"Space(3) & \"|\"", "   |"},
        {"Nz(N, \"z\")", "z"},
        {"Nz(N)", ""},
        {"Nz(I, 0)", "7"},
        {"IIf(N Is Null, \"none\", N)", "none"},
        {"IIf(I > 5, \"big\", \"small\")", "big"},
        {"IIf(N, 1, 2)", "2"},
    });
}

TEST(AccessExpressions, NumberFunctions) {
    checkAll({
        {"CInt(2.5)", "2"},
        {"CInt(3.5)", "4"},
        {"CInt(-2.5)", "-2"},
        {"CInt(40000)", "ERROR: オーバーフロー"},
        {"CInt(\"abc\")", "ERROR: CInt"},
        {"CLng(\"12\")", "12"},
        {"CLng(3000000000)", "ERROR: オーバーフロー"},
        {"CDbl(\"1.5\")", "1.5"},
        {"CDbl(N)", "NULL"},
        {"Int(-2.5)", "-3"},
        {"Fix(-2.5)", "-2"},
        {"Int(I)", "7"},
        {"Round(2.5)", "2"},
        {"Round(3.5)", "4"},
        {"Round(-2.5)", "-2"},
        {"Round(2.675, 2)", "2.68"},
        {"Round(2.665, 2)", "2.66"},
        {"Round(R, -1)", "ERROR: Round"},
        {"Abs(M)", "7"},
        {"Abs(-2.25)", "2.25"},
        {"Sgn(M)", "-1"},
        {"Sqr(16)", "4"},
        {"Sqr(-1)", "ERROR: Sqr"},
    });
}

TEST(AccessExpressions, DateFunctions) {
    checkAll({
        {"Year(D)", "2024"},
        {"Month(D)", "3"},
        {"Day(D)", "15"},
        {"Hour(D)", "13"},
        {"Minute(D)", "45"},
        {"Second(D)", "30"},
        {"Weekday(D)", "6"},
        {"Year(N)", "NULL"},
        {"Year(\"2001/04/01\")", "2001"},
        {"Year(S)", "ERROR: Year"},
        {"DateSerial(2024, 14, 0)", "2025/01/31"},
        {"DateSerial(24, 2, 29)", "2024/02/29"},
        {"DateSerial(2024, 1, -1)", "2023/12/30"},
        {"DateAdd(\"m\", 1, #1/31/2024#)", "2024/02/29"},
        {"DateAdd(\"yyyy\", 1, #2/29/2024#)", "2025/02/28"},
        {"DateAdd(\"d\", -1, D)", "2024/03/14 13:45:30"},
        {"DateAdd(\"h\", 11, D)", "2024/03/16 00:45:30"},
        {"DateAdd(\"q\", 1, D)", "2024/06/15 13:45:30"},
        {"DateAdd(\"x\", 1, D)", "ERROR: DateAdd"},
        {"DateDiff(\"yyyy\", #12/31/2023#, #1/1/2024#)", "1"},
        {"DateDiff(\"d\", D, #3/20/2024#)", "5"},
        {"DateDiff(\"m\", #1/31/2024#, #2/1/2024#)", "1"},
        {"DateDiff(\"h\", #1/1/2024 23:59:00#, #1/2/2024 00:00:01#)", "1"},
        {"DateDiff(\"ww\", #3/9/2024#, #3/10/2024#)", "1"},
        {"DateDiff(\"w\", #3/1/2024#, #3/14/2024#)", "1"},
        {"DateDiff(\"d\", #1/1/1800#, #1/1/1900#)", "36524"},
        {"CDate(\"2024/03/15\")", "2024/03/15"},
        {"CDate(45000)", "2023/03/15"},
        {"CDate(\"nonsense\")", "ERROR: CDate"},
        {"Format(D, \"yyyy/mm/dd\")", "2024/03/15"},
        {"Format(D, \"hh:nn:ss\")", "13:45:30"},
        {"Format(D, \"yyyy-m-d h:mm\")", "2024-3-15 13:45"},
        {"Format(D, \"yy\"\"年\"\"q\")", "24年1"},
        {"Format(D, \"hh AM/PM\")", "01 PM"},
        {"Format(D, \"Short Date\")", "2024/03/15"},
        {"Format(D)", "2024/03/15 13:45:30"},
        {"Format(1234.5, \"#,##0.00\")", "1,234.50"},
        {"Format(0.256, \"0.0%\")", "25.6%"},
        {"Format(-3, \"0;(0)\")", "(3)"},
        {"Format(-3, \"0\")", "-3"},
        {"Format(2.5, \"0\")", "3"},
        {"Format(0.5, \"#.##\")", ".5"},
        {"Format(C, \"Fixed\")", "1234.57"},
        {"Format(B, \"Yes/No\")", "Yes"},
        {"Format(N, \"0\")", "NULL"},
        {"Format(S, \"0.00\")", "Münster"},
        {"Format(D, \"mmmm\")", "ERROR: Format"},
        {"Format(1, \"0E+00\")", "ERROR: Format"},
        {"Date() <= Now()", "True"},
    });
}

TEST(AccessExpressions, ResultKindsFollowTheExpression) {
    const struct {
        const char* expression;
        Kind kind;
    } cases[] = {
        {"D", Kind::DateTime},
        {"D + 1", Kind::DateTime},
        {"DateSerial(2000,1,1)", Kind::DateTime},
        {"C", Kind::Currency},
        {"C * 2", Kind::Currency},
        {"B", Kind::Boolean},
        {"I = 7", Kind::Boolean},
        {"I", Kind::Integer},
        {"R", Kind::Real},
        {"S & I", Kind::Text},
        {"Year(D)", Kind::Integer},
        {"IIf(B, D, D + 1)", Kind::DateTime},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<int>(evaluate(QString::fromUtf8(c.expression)).kind),
                  static_cast<int>(c.kind))
            << c.expression;
    }
}

TEST(AccessExpressions, ConstructsTheEngineCannotRunAreNamed) {
    checkAll({
        {"Foo(1)", "ERROR: 関数 Foo"},
        {"load_extension(\"x\")", "ERROR: 関数 load_extension"},
        {"(SELECT 1)", "ERROR: サブクエリー"},
        {"Exists(1)", "ERROR: 関数 Exists"},
        {"[Unknown Name]", "ERROR: 値 [Unknown Name] の入力を必要とします"},
        {"X.I", "ERROR: X"},
        {"T.Missing", "ERROR: Missing"},
        {"Left(S)", "ERROR: Left"},
        {"\"unclosed", "ERROR: 閉じていない文字列"},
        {"#13/45/2024#", "ERROR: 日付"},
        {"I +", "ERROR: 式が途中で終わっています"},
        {"I I", "ERROR: 余分な語"},
        {"I ~ 2", "ERROR: 文字"},
        {"Sum(Sum(I))", "ERROR: 集計関数"},
    });
}

}  // namespace
}  // namespace korvane::test
