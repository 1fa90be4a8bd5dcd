// The workbook reader's replies: every length, place and kind is checked before it is used.
#include <gtest/gtest.h>

#include <string>

#include "platform/xls/XlsFault.h"
#include "platform/xls/XlsProtocol.h"
#include "platform/xls/XlsReplies.h"

namespace korvane::xls {
namespace {

QByteArray bytesOf(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

void putEntry(std::string& out, int64_t row, int64_t column, uint8_t kind, const QString& text) {
    xlsproto::putI64(out, row);
    xlsproto::putI64(out, column);
    out.push_back(static_cast<char>(kind));
    frameproto::putString(out, encodeText(text));
}

void putFailureEntry(std::string& out, int64_t row, int64_t column, const Failure& failure) {
    xlsproto::putI64(out, row);
    xlsproto::putI64(out, column);
    out.push_back(static_cast<char>(xlsproto::kCellFailure));
    putFailure(out, failure);
}

// A failure as the reader sends it, with `count` details whatever its cause takes.
std::string failurePayload(uint32_t cause, uint32_t count) {
    std::string out;
    frameproto::putU32(out, cause);
    frameproto::putU32(out, count);
    for (uint32_t i = 0; i < count; ++i) {
        frameproto::putString(out, encodeText(QStringLiteral("A1")));
    }
    return out;
}

std::string cellsPayload(int64_t lastRow, uint32_t count, const std::string& entries) {
    std::string out;
    xlsproto::putI64(out, lastRow);
    frameproto::putU32(out, count);
    return out + entries;
}

const CellRectangle kAsked{10, 20, 2, 4};

TEST(XlsReplies, CellsReplyChecks) {
    std::string one;
    putEntry(one, 10, 2, xlsproto::kCellText, QStringLiteral("r10c2"));
    std::string failed;
    putFailureEntry(failed, 15, 4, Failure{XlsFault::ErrorValue, {"D15", "#DIV/0!"}});
    std::string rowBefore;
    putEntry(rowBefore, 9, 2, xlsproto::kCellText, "x");
    std::string rowAfterCovered;
    putEntry(rowAfterCovered, 13, 2, xlsproto::kCellText, "x");
    std::string columnLeft;
    putEntry(columnLeft, 10, 1, xlsproto::kCellText, "x");
    std::string columnRight;
    putEntry(columnRight, 10, 5, xlsproto::kCellText, "x");
    std::string badKind;
    putEntry(badKind, 10, 2, 2, "x");
    std::string oddText;
    xlsproto::putI64(oddText, 10);
    xlsproto::putI64(oddText, 2);
    oddText.push_back(0);
    frameproto::putString(oddText, std::string("abc"));
    struct Case {
        const char* name;
        std::string payload;
        bool decodes;
        size_t entries;
    };
    const Case cases[] = {
        {"empty band", cellsPayload(20, 0, {}), true, 0},
        {"text and failure", cellsPayload(20, 2, one + failed), true, 2},
        {"stopped early, cells inside", cellsPayload(12, 1, one), true, 1},
        {"nothing at all", {}, false, 0},
        {"header cut short", cellsPayload(20, 0, {}).substr(0, 10), false, 0},
        {"covered before the first row", cellsPayload(9, 0, {}), false, 0},
        {"covered past the last row", cellsPayload(21, 0, {}), false, 0},
        {"fewer entries than counted", cellsPayload(20, 2, one), false, 0},
        {"count beyond any payload", cellsPayload(20, 0xFFFFFFFFu, one), false, 0},
        {"bytes after the entries", cellsPayload(20, 1, one + "z"), false, 0},
        {"entry cut in its text", cellsPayload(20, 1, one.substr(0, one.size() - 1)), false, 0},
        {"row before the band", cellsPayload(20, 1, rowBefore), false, 0},
        {"row past the rows covered", cellsPayload(12, 1, rowAfterCovered), false, 0},
        {"column left of the band", cellsPayload(20, 1, columnLeft), false, 0},
        {"column right of the band", cellsPayload(20, 1, columnRight), false, 0},
        {"unknown kind", cellsPayload(20, 1, badKind), false, 0},
        {"text of an odd byte count", cellsPayload(20, 1, oddText), false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<CellBand> band = decodeCellsReply(bytesOf(c.payload), kAsked);
        ASSERT_EQ(band.has_value(), c.decodes);
        if (band) {
            EXPECT_EQ(band->entries.size(), c.entries);
        }
    }
    const std::optional<CellBand> band =
        decodeCellsReply(bytesOf(cellsPayload(20, 2, one + failed)), kAsked);
    ASSERT_TRUE(band);
    EXPECT_FALSE(band->entries[0].failure);
    EXPECT_EQ(band->entries[0].text, "r10c2");
    ASSERT_TRUE(band->entries[1].failure);
    EXPECT_EQ(band->entries[1].failure->text(),
              QStringLiteral("セル D15 はエラー値 #DIV/0! です。"));
    EXPECT_EQ(band->entries[1].row, 15);
    EXPECT_EQ(band->entries[1].column, 4);
}

TEST(XlsReplies, WorkbookAndErrorReplyChecks) {
    std::string names;
    frameproto::putU32(names, 2);
    frameproto::putString(names, encodeText(QStringLiteral("Sheet1")));
    frameproto::putString(names, encodeText(QStringLiteral("日本語")));
    std::string huge;
    frameproto::putU32(huge, 0x40000000u);
    std::string error;
    putFailure(error, Failure{XlsFault::NoSuchSheet, {QStringLiteral("売上")}});
    const auto unknown = static_cast<uint32_t>(XlsFault::Count);
    const auto noSuchSheet = static_cast<uint32_t>(XlsFault::NoSuchSheet);
    struct Case {
        const char* name;
        std::string payload;
        bool decodes;
    };
    const Case workbookCases[] = {
        {"two names", names, true},
        {"no sheets", std::string(4, '\0'), true},
        {"empty", {}, false},
        {"a name missing", names.substr(0, names.size() - 6), false},
        {"bytes after the names", names + "x", false},
        {"count beyond any payload", huge, false},
    };
    for (const Case& c : workbookCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decodeWorkbookReply(bytesOf(c.payload)).has_value(), c.decodes);
    }
    EXPECT_EQ(decodeWorkbookReply(bytesOf(names)).value(),
              QStringList({"Sheet1", QStringLiteral("日本語")}));

    const Case errorCases[] = {
        {"description", error, true},
        {"empty", {}, false},
        {"odd byte count", error.substr(0, error.size() - 1), false},
        {"bytes after it", error + "x", false},
        {"a cause this build does not know", failurePayload(unknown, 0), false},
        {"a cause far beyond the list", failurePayload(0xFFFFFFFFu, 1), false},
        {"a detail too few", failurePayload(noSuchSheet, 0), false},
        {"a detail too many", failurePayload(noSuchSheet, 2), false},
    };
    for (const Case& c : errorCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decodeErrorReply(bytesOf(c.payload)).has_value(), c.decodes);
    }
}

// Every cause has words, its placeholders run from %1 without a gap, and it arrives from the
// reader as it was sent: a missing entry would make an empty message, a gap a detail the decoder
// asks for that no caller passes.
TEST(XlsReplies, EveryCauseHasWordsAndCrossesThePipe) {
    for (int i = 0; i < static_cast<int>(XlsFault::Count); ++i) {
        const auto cause = static_cast<XlsFault>(i);
        SCOPED_TRACE(i);
        const QString pattern = faultPattern(cause);
        ASSERT_FALSE(pattern.isEmpty());
        QStringList details;
        for (int n = 1; n <= faultDetailCount(cause); ++n) {
            EXPECT_TRUE(pattern.contains(QStringLiteral("%") + QString::number(n)));
            details << QStringLiteral("<detail %1>").arg(n);
        }
        const Failure sent{cause, details};
        std::string payload;
        putFailure(payload, sent);
        const std::optional<Failure> received = decodeErrorReply(bytesOf(payload));
        ASSERT_TRUE(received);
        EXPECT_TRUE(received->is(cause));
        EXPECT_EQ(received->text(), sent.text());
    }
}

TEST(XlsReplies, TextsKeepEveryCodeUnit) {
    // A lone surrogate is what a damaged or odd workbook may hold; UTF-8 would replace it.
    const QString texts[] = {QString(), QStringLiteral("ｱｲｳ①"), QString(QChar(0xD800)) + "x",
                             QString(QChar(0xDFFF)), QString(QChar(0))};
    for (const QString& text : texts) {
        const std::string bytes = encodeText(text);
        const std::optional<QString> back = decodeText(bytes.data(), bytes.size());
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, text);
    }
}

}  // namespace
}  // namespace korvane::xls
