// The workbook reader on records written for each case: cell kinds, strings split over
// CONTINUE records, formats that make dates, and damaged or refused streams.
#include <gtest/gtest.h>

#include "BiffBuilder.h"
#include "platform/xls/XlsWorkbook.h"

namespace korvane::xls {
namespace {

using namespace korvane::test;

struct CellCase {
    const char* what;
    QByteArray globals;  // records of the globals before the sheet list
    QByteArray cells;    // records of the one worksheet
    int64_t row;         // 1-based
    int64_t column;
    QString expected;  // the cell text, or a part of the failure's description
    bool fails = false;
};

QByteArray rk(uint16_t row0, uint16_t col0, uint32_t value) {
    return record(0x027E, cellHead(row0, col0) + u32(value));
}

// XF records whose number formats are, in order: General, built-in 14 (a date), 164 (custom),
// 10 (a percentage).
QByteArray formatsAndXfs(const QString& customCode) {
    QByteArray out = record(0x041E, u16(164) + unicode16(customCode, false));
    for (uint16_t format : {0, 14, 164, 10}) {
        out += record(0x00E0, u16(0) + u16(format) + QByteArray(16, '\0'));
    }
    return out;
}

QByteArray sst(const std::vector<QByteArray>& segments, uint32_t unique) {
    QByteArray out = record(0x00FC, u32(unique) + u32(unique) + segments.front());
    for (size_t i = 1; i < segments.size(); ++i) {
        out += record(0x003C, segments[i]);
    }
    return out;
}

QByteArray labelSst(uint16_t row0, uint16_t col0, uint32_t index) {
    return record(0x00FD, cellHead(row0, col0) + u32(index));
}

std::vector<CellCase> cellCases() {
    const QByteArray stringResult = specialResult(0, 0);
    return {
        {"number", {}, numberCell(0, 0, 3.25), 1, 1, "3.25"},
        {"large number", {}, numberCell(0, 0, 1e20), 1, 1, "1E+20"},
        {"RK integer", {}, rk(0, 0, (12u << 2) | 2), 1, 1, "12"},
        {"RK negative integer", {}, rk(0, 0, (static_cast<uint32_t>(-35) << 2) | 3), 1, 1, "-0.35"},
        {"RK integer / 100", {}, rk(0, 0, (1234u << 2) | 3), 1, 1, "12.34"},
        {"RK double", {}, rk(0, 0, 0x3FF00000u), 1, 1, "1"},
        {"MULRK second value",
         {},
         record(0x00BD, u16(4) + u16(2) + u16(0) + u32((7u << 2) | 2) + u16(0) +
                            u32((8u << 2) | 2) + u16(3)),
         5,
         4,
         "8"},
        {"TRUE", {}, boolErrCell(0, 0, 1, false), 1, 1, "True"},
        {"FALSE", {}, boolErrCell(0, 0, 0, false), 1, 1, "False"},
        {"error value", {}, boolErrCell(0, 0, 0x07, true), 1, 1, "#DIV/0!", true},
        {"#N/A is not a boolean",
         {},
         boolErrCell(1, 2, 0x2A, true),
         2,
         3,
         "セル C2 はエラー値 #N/A です。",
         true},
        {"formula number", {}, formulaCell(0, 0, f64(84)), 1, 1, "84"},
        {"formula text from STRING",
         {},
         formulaCell(0, 0, stringResult) + record(0x0207, unicode16("abc")),
         1,
         1,
         "abc"},
        {"formula boolean", {}, formulaCell(0, 0, specialResult(1, 1)), 1, 1, "True"},
        {"formula error", {}, formulaCell(0, 0, specialResult(2, 0x24)), 1, 1, "#NUM!", true},
        {"formula empty text", {}, formulaCell(0, 0, specialResult(3, 0)), 1, 1, ""},
        {"BLANK is empty", {}, record(0x0201, cellHead(0, 0)), 1, 1, ""},
        {"no record is empty", {}, numberCell(0, 0, 1), 9, 9, ""},
        {"last worksheet cell", {}, numberCell(65535, 255, 5), 65536, 256, "5"},
        {"beyond the last row",
         {},
         {},
         70000,
         1,
         "行 70000 はワークシートの最後の行(65536)より後ろです。",
         true},
        {"beyond the last column", {}, {}, 1, 257, "列 257 ", true},
        {"LABEL UTF-16",
         {},
         labelCell(0, 0, QStringLiteral("日本語")),
         1,
         1,
         QStringLiteral("日本語")},
        {"a later record for the same cell wins",
         {},
         numberCell(0, 0, 1) + numberCell(0, 0, 2),
         1,
         1,
         "2"},
        {"built-in date format", formatsAndXfs("0.0"), numberCell(0, 0, 45351, 1), 1, 1,
         "2024/02/29"},
        {"custom date-time format", formatsAndXfs("yyyy-mm-dd hh:mm:ss"),
         numberCell(0, 0, 45351.5, 2), 1, 1, "2024/02/29 12:00:00"},
        {"custom time format shows a time alone", formatsAndXfs("hh:mm"), numberCell(0, 0, 0.5, 2),
         1, 1, "12:00:00"},
        {"letters in quotes make no date", formatsAndXfs("0 \"days\""), numberCell(0, 0, 3, 2), 1,
         1, "3"},
        {"percentage is a number", formatsAndXfs("0"), numberCell(0, 0, 0.25, 3), 1, 1, "0.25"},
        {"XF index beyond the table", formatsAndXfs("0"), numberCell(0, 0, 2, 999), 1, 1, "2"},
        {"1904 date system", record(0x0022, u16(1)) + formatsAndXfs("0"), numberCell(0, 0, 1, 1), 1,
         1, "1904/01/02"},
        {"serial before March 1900", formatsAndXfs("0"), numberCell(0, 0, 59, 1), 1, 1,
         "1900/02/28"},
        {"shared string", sst({unicode16("first", false) + unicode16(QStringLiteral("二番"))}, 2),
         labelSst(0, 0, 1), 1, 1, QStringLiteral("二番")},
        {"shared string split into a wide CONTINUE",
         // "abcdef": three one-byte characters, then the rest two bytes each in the next record.
         sst({u16(6) + QByteArray("\x00"
                                  "abc",
                                  4),
              QByteArray("\x01") + u16('d') + u16('e') + u16('f')},
             1),
         labelSst(0, 0, 0), 1, 1, "abcdef"},
        {"shared string after one that ends a record",
         sst({unicode16("one", false), unicode16("two", false)}, 2), labelSst(0, 0, 1), 1, 1,
         "two"},
        {"rich-text runs and phonetic block are skipped",
         sst({u16(2) + QByteArray("\x0C", 1) + u16(1) + u32(6) + "ab" + u32(0) +
              QByteArray(6, 'z') + unicode16("next", false)},
             2),
         labelSst(0, 0, 1), 1, 1, "next"},
        {"shared string index beyond the table", sst({unicode16("only", false)}, 1),
         labelSst(0, 0, 5), 1, 1, "共有文字列の 5 番", true},
        {"SST claiming more strings than it holds", sst({unicode16("a", false)}, 0xFFFFFFFF),
         labelSst(0, 0, 0), 1, 1, "a"},
        {"record cut short is ignored", {}, record(0x0203, cellHead(0, 0) + "abc"), 1, 1, ""},
        {"string longer than its record",
         {},
         record(0x0204, cellHead(0, 0) + u16(500) +
                            QByteArray("\x00"
                                       "xy",
                                       3)),
         1,
         1,
         "xy"},
        {"MULRK with no pairs", {}, record(0x00BD, u16(0) + u16(0)), 1, 1, ""},
    };
}

TEST(WorkbookReader, CellsOfEachKind) {
    for (const CellCase& c : cellCases()) {
        SCOPED_TRACE(c.what);
        const QByteArray stream = workbookStream(c.globals, {{"Sheet1", 0, c.cells}});
        auto workbook = XlsWorkbook::openBytes(stream);
        ASSERT_TRUE(workbook) << workbook.failure().text();
        const Result<QString> text = workbook.value()->cellText(0, c.row, c.column);
        if (c.fails) {
            ASSERT_FALSE(text);
            EXPECT_TRUE(text.failure().text().contains(c.expected)) << text.failure().text();
        } else {
            ASSERT_TRUE(text) << text.failure().text();
            EXPECT_EQ(text.value(), c.expected);
        }
    }
}

struct OpenCase {
    const char* what;
    QByteArray bytes;
    QString description;  // a part of the failure's description
};

TEST(WorkbookReader, RefusedStreams) {
    const QByteArray sheet = numberCell(0, 0, 1);
    const OpenCase cases[] = {
        {"password", workbookStream(record(0x002F, u16(0) + u32(0)), {{"S", 0, sheet}}),
         "パスワードで保護"},
        {"Excel 4.0", record(0x0409, u16(0) + u16(0x0010) + u16(0)) + record(0x000A, {}), "BIFF4"},
        {"Excel 2.x", record(0x0009, u16(0) + u16(0x0010)) + record(0x000A, {}), "BIFF2"},
        {"not a workbook", QByteArray("This is a plain text file."),
         "ファイルは Excel のブック(.xls)ではありません。"},
        {"Excel 2007 or later", QByteArray("PK\x03\x04 rest of a zip"), ".xlsx"},
        {"短すぎます", QByteArray("\xD0\xCF", 2), "短すぎます"},
        {"OLE2 signature over garbage",
         QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\xFF'),
         "壊れています"},
        {"no sheets", workbookStream({}, {}), "シートがありません"},
        {"a single sheet instead of a workbook",
         record(0x0809, u16(0x0600) + u16(0x0010) + u32(0) + u32(0) + u32(0)), "シートを一枚だけ"},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto workbook = XlsWorkbook::openBytes(c.bytes);
        ASSERT_FALSE(workbook);
        EXPECT_TRUE(workbook.failure().text().contains(c.description)) << workbook.failure().text();
    }
}

TEST(WorkbookReader, SheetListKeepsChartsAndHiddenSheetsInOrder) {
    const QByteArray stream =
        workbookStream({}, {{"Data", 0, numberCell(0, 0, 1)}, {"Chart1", 2, {}}, {"Last", 0, {}}});
    auto workbook = XlsWorkbook::openBytes(stream);
    ASSERT_TRUE(workbook) << workbook.failure().text();
    XlsWorkbook& book = *workbook.value();
    ASSERT_EQ(book.sheetCount(), 3);
    EXPECT_EQ(book.sheet(0).name, "Data");
    EXPECT_EQ(book.sheet(1).name, "Chart1");
    EXPECT_EQ(book.sheet(2).name, "Last");
    EXPECT_EQ(book.findSheet("last"), 2);
    EXPECT_EQ(book.findSheet("Missing"), std::nullopt);
    const Result<QString> chartCell = book.cellText(1, 1, 1);
    ASSERT_FALSE(chartCell);
    EXPECT_EQ(chartCell.failure().text(),
              QStringLiteral("シート(Chart1)はグラフのシートで、セルがありません。"));
    EXPECT_EQ(book.cellText(2, 1, 1).value(), "");
}

TEST(WorkbookReader, SheetWhoseOffsetPointsNowhereFailsOnlyThatSheet) {
    QByteArray stream = workbookStream({}, {{"A", 0, numberCell(0, 0, 1)}, {"B", 0, {}}});
    stream.truncate(stream.size() - 12);  // B's BOF and EOF are gone; A stays whole
    auto workbook = XlsWorkbook::openBytes(stream);
    ASSERT_TRUE(workbook) << workbook.failure().text();
    EXPECT_EQ(workbook.value()->cellText(0, 1, 1).value(), "1");
    const Result<QString> missing = workbook.value()->cellText(1, 1, 1);
    ASSERT_FALSE(missing);
    EXPECT_TRUE(missing.failure().text().contains(QStringLiteral("シート(B)")))
        << missing.failure().text();
}

// Code page 932 is Windows' CP932: every ASCII byte stays itself (0x1A, 0x1C and 0x7F too),
// the NEC and IBM extensions read as Windows reads them, undefined bytes show U+FFFD.
TEST(WorkbookReader, Biff5TextInCodePage932ShowsWhatWindowsShows) {
    QByteArray ascii;
    QString asciiText;
    for (int byte = 0; byte < 0x80; ++byte) {
        ascii += static_cast<char>(byte);
        asciiText += QChar(byte);
    }
    const std::pair<QByteArray, QString> cases[] = {
        {ascii, asciiText},
        {"\x87\x40\x81\x60", QStringLiteral("①～")},
        {"\x87\x40\x87\x54\x87\x8A\x87\x82\xFB\xFC\xEE\xE0", QStringLiteral("①Ⅰ㈱№髙髙")},
        {"\x81\x5F\x81\x61\x81\x7C\xB1\xDF", QStringLiteral("＼∥－ｱﾟ")},
        {"\x80\xA0\xFD\x85\x40", QString(4, QChar(0xFFFD))},
    };
    QByteArray labels;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const QByteArray& bytes = cases[i].first;
        // LABEL in BIFF5: a two-byte length and code-page bytes.
        labels += record(0x0204, cellHead(static_cast<uint16_t>(i), 0) +
                                     u16(static_cast<uint16_t>(bytes.size())) + bytes);
    }
    const QByteArray stream = workbookStream(record(0x0042, u16(932)), {{"Sheet1", 0, labels}}, 5);
    auto workbook = XlsWorkbook::openBytes(stream);
    ASSERT_TRUE(workbook) << workbook.failure().text();
    EXPECT_EQ(workbook.value()->biffVersion(), 5);
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(workbook.value()->cellText(0, static_cast<int64_t>(i) + 1, 1).value(),
                  cases[i].second)
            << "case " << i;
    }
}

TEST(WorkbookReader, Biff5WithoutCodePageReadsWindowsLatin) {
    const QByteArray label = record(0x0204, cellHead(0, 0) + u16(2) + "\xE9\x80");
    auto workbook = XlsWorkbook::openBytes(workbookStream({}, {{"S", 0, label}}, 5));
    ASSERT_TRUE(workbook) << workbook.failure().text();
    EXPECT_EQ(workbook.value()->cellText(0, 1, 1).value(), QStringLiteral("é€"));
}

// Every prefix of a valid stream opens or fails with a description; none crashes.
TEST(WorkbookReader, EveryTruncationIsHandled) {
    const QByteArray full = workbookStream(
        sst({unicode16("shared", false)}, 1) + formatsAndXfs("yyyy"),
        {{"S", 0,
          labelSst(0, 0, 0) + numberCell(1, 0, 2, 2) + formulaCell(2, 0, specialResult(0, 0)) +
              record(0x0207, unicode16("t"))}});
    for (qsizetype n = 0; n <= full.size(); ++n) {
        auto workbook = XlsWorkbook::openBytes(full.left(n));
        if (!workbook) {
            EXPECT_FALSE(workbook.failure().text().isEmpty());
            continue;
        }
        for (int64_t row = 1; row <= 3; ++row) {
            const Result<QString> text = workbook.value()->cellText(0, row, 1);
            EXPECT_TRUE(text || !text.failure().text().isEmpty());
        }
    }
}

}  // namespace
}  // namespace korvane::xls
