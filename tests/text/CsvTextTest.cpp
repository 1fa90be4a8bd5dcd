#include <gtest/gtest.h>

#include <vector>

#include "text/CsvText.h"

namespace korvane {
namespace {

struct LineCase {
    QString line;
    QStringList fields;
};

// Fields are compared one by one so a failure names the line and the field.
void expectFields(const LineCase& c) {
    const QStringList got = SplitCsvLine(c.line);
    ASSERT_EQ(got.size(), c.fields.size())
        << "line «" << c.line.toStdString() << "» gave «" << got.join(u'|').toStdString() << "»";
    for (qsizetype i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].toStdString(), c.fields[i].toStdString())
            << "line «" << c.line.toStdString() << "» field " << i;
    }
}

TEST(SplitCsvLine, WorkedExamples) {
    const std::vector<LineCase> cases = {
        {"a,b,c", {"a", "b", "c"}},
        {"a,,c", {"a", "", "c"}},
        {"a,b,", {"a", "b"}},
        {",", {""}},
        {",,", {"", ""}},
        {"", {}},
        {" ", {""}},
        {" a , b ", {"a ", "b "}},
        {R"("a,b",c)", {"a,b", "c"}},
        {R"("1,2","3")", {"1,2", "3"}},
        {R"("a""b",c)", {R"(a""b)", "c"}},
        {R"(a,"x""",b)", {"a", R"(x"")", "b"}},
        {R"("",x)", {"", "x"}},
        {R"("","","")", {"", "", ""}},
        {R"(" ")", {" "}},
        {"\t\"q\"", {"q"}},
        {R"( "x",y)", {"x", "y"}},
        {R"("x" ,y)", {R"("x" )", "y"}},
        {R"(a,"b,c)", {"a", R"("b,c)"}},
        {R"("abc)", {R"("abc)"}},
        {R"(ab"c,d"e,f)", {R"(ab"c,d"e)", "f"}},
        {R"("a"b",c)", {R"("a"b",c)"}},
        {R"("a",)", {"a"}},
        {R"(a,b")", {"a", R"(b")"}},
    };
    for (const LineCase& c : cases) {
        expectFields(c);
    }
}

TEST(SplitCsvLine, EdgeCases) {
    const QString nul(QChar(u'\0'));
    const std::vector<LineCase> cases = {
        // A lone quote after the blanks keeps the quote.
        {R"(a,")", {"a", R"(")"}},
        {R"(a, ")", {"a", R"(")"}},
        {R"(")", {R"(")"}},
        // NUL counts as a leading blank; trailing blanks stay.
        {nul + "\t \"v\"" + nul, {"\"v\"" + nul}},
        {nul + nul, {""}},
        // A quote closing at the end of the line ends the scan with that field.
        {R"(x,"a""")", {"x", R"(a"")"}},
        {R"("a"")", {R"(a")"}},
        {R"("a""b)", {R"("a""b)"}},
        // Commas inside a quote opened mid-field belong to that field.
        {R"(a"b,c"d,e)", {R"(a"b,c"d)", "e"}},
        // Two commas give an empty field in the middle, not at the end.
        {",a,,", {"", "a", ""}},
        // Line feeds and CR inside are ordinary characters.
        {"a\nb,\"c\rd\"", {"a\nb", "c\rd"}},
        // Non-ASCII text passes through unchanged.
        {u8"東京,\"大阪,京都\"", {u8"東京", u8"大阪,京都"}},
    };
    for (const LineCase& c : cases) {
        expectFields(c);
    }
}

TEST(SplitCsvLine, LinesOfAnyLength) {
    const QString longField(40000, u'x');
    const QStringList got = SplitCsvLine(longField + ",\"" + longField + "," + longField + "\",z");
    ASSERT_EQ(got.size(), 3);
    EXPECT_EQ(got[0], longField);
    EXPECT_EQ(got[1], longField + "," + longField);
    EXPECT_EQ(got[2], "z");
}

TEST(CleanFieldAndStripQuotes, Table) {
    struct Case {
        QString raw;
        QString cleaned;
        QString stripped;
    };
    const std::vector<Case> cases = {
        {"", "", ""},
        {"   ", "", "   "},
        {R"("")", "", ""},
        {R"(")", R"(")", R"(")"},
        {R"(  "a""b" )", R"("a""b" )", R"(  "a""b" )"},
        {R"( "a""b")", R"(a""b)", R"( "a""b")"},
        {R"("a)", R"("a)", R"("a)"},
        {R"(a")", R"(a")", R"(a")"},
        {R"(""")", R"(")", R"(")"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CleanField(c.raw).toStdString(), c.cleaned.toStdString()) << c.raw.toStdString();
        EXPECT_EQ(StripQuotes(c.raw).toStdString(), c.stripped.toStdString())
            << c.raw.toStdString();
    }
}

TEST(SplitPath, Table) {
    struct Case {
        QString path;
        QString folder;
        QString baseName;
        QString extension;
    };
    const std::vector<Case> cases = {
        {R"(C:\data\sales.csv)", R"(C:\data)", "sales", "csv"},
        {R"(C:\sales.csv)", "C:", "sales", "csv"},
        {R"(\sales.csv)", "", "sales", "csv"},
        {R"(C:sales.csv)", "C:", "sales", "csv"},
        {"sales.csv", "", "sales", "csv"},
        {R"(C:\data\sales.tar.csv)", R"(C:\data)", "sales.tar", "csv"},
        {R"(C:\data\sales)", R"(C:\data)", "sales", ""},
        {R"(C:\data\sales.)", R"(C:\data)", "sales", ""},
        {R"(C:\data\)", R"(C:\data)", "", ""},
        {R"(\\server\share\a.txt)", R"(\\server\share)", "a", "txt"},
        {"C:", "C:", "", ""},
        {".csv", "", "", "csv"},
        {"", "", "", ""},
        // The last dot wins even in a folder name.
        {R"(C:\data.old\sales)", "C:", "data", R"(old\sales)"},
        // Slash separates folders too.
        {"/home/u/data/sales.csv", "/home/u/data", "sales", "csv"},
        {"/home/u.v/data/sales", "/home", "u", "v/data/sales"},
        {"/sales.CSV", "", "sales", "CSV"},
        {"/home/u/.hidden", "/home/u", "", "hidden"},
        {R"(/mnt\c/x.txt)", R"(/mnt\c)", "x", "txt"},
        {u8"/データ/売上.csv", u8"/データ", u8"売上", "csv"},
    };
    for (const Case& c : cases) {
        const PathParts parts = SplitPath(c.path);
        EXPECT_EQ(parts.folder.toStdString(), c.folder.toStdString()) << c.path.toStdString();
        EXPECT_EQ(parts.baseName.toStdString(), c.baseName.toStdString()) << c.path.toStdString();
        EXPECT_EQ(parts.extension.toStdString(), c.extension.toStdString()) << c.path.toStdString();
    }
}

TEST(SplitPath, PathsOfAnyLength) {
    const QString folder = "/" + QString(40000, u'd');
    const PathParts parts = SplitPath(folder + "/" + QString(33000, u'n') + ".csv");
    EXPECT_EQ(parts.folder, folder);
    EXPECT_EQ(parts.baseName.size(), 33000);
    EXPECT_EQ(parts.extension, "csv");
}

// Writing a value and splitting the written line must give the value back.
TEST(QuoteCsvField, Table) {
    struct Case {
        QString value;
        QString written;
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"plain", "plain"},
        {" padded\t", " padded\t"},
        {"a,b", R"("a,b")"},
        {"line\r\nbreak", "\"line\r\nbreak\""},
        {"lone\nlf", "\"lone\nlf\""},
        {"lone\rcr", "\"lone\rcr\""},
        {R"(say "hi")", R"("say ""hi""")"},
        {R"(")", R"("""")"},
        {u8"東京", u8"東京"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QuoteCsvField(c.value).toStdString(), c.written.toStdString())
            << c.value.toStdString();
    }
}

}  // namespace
}  // namespace korvane
