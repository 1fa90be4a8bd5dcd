// Our workbook reader against FreeXL on workbooks made by Excel and other writers: every
// number, text and date cell that FreeXL reads must read the same here. FreeXL gives no value
// for formulas and cannot tell booleans from error values, so those cells are left out. Where
// the two differ by design the cell or the workbook is left out too, with the reason below.
#include <freexl.h>
#include <gtest/gtest.h>

#include <QDir>
#include <cmath>
#include <set>

#include "platform/xls/XlsWorkbook.h"
#include "support/TestFiles.h"
#include "text/ValueText.h"

namespace korvane::xls {
namespace {

// Rows compared per sheet: enough for every peer workbook, bounded for the designed one.
constexpr unsigned kMaxRowsCompared = 40000;

struct FreeXlHandle {
    const void* handle = nullptr;
    ~FreeXlHandle() {
        if (handle != nullptr) {
            freexl_close(handle);
        }
    }
};

// FreeXL's value in our text forms; nothing for the cells it cannot give.
std::optional<QString> oracleText(const FreeXL_CellValue& value) {
    switch (value.type) {
        case FREEXL_CELL_INT:
            return DoubleText(value.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return DoubleText(value.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
            return QString::fromUtf8(value.value.text_value);
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
            return QString::fromUtf8(value.value.text_value).replace(u'-', u'/');
        case FREEXL_CELL_TIME:
            return QString::fromUtf8(value.value.text_value);
        default:
            return std::nullopt;
    }
}

// FreeXL shows a date or time cell by its format (a date format drops the time of day, a time
// format the day, a date-time format adds midnight); we give the cell's whole value, as Excel's
// Value does. Serials below 1 have no day: FreeXL makes them 1900-01-01, we give the time. And
// FreeXL turns negative serials into 1900-01-01, where Excel has no date and we keep the number.
bool agrees(const QString& expected, unsigned char type, const QString& got) {
    if (got == expected) {
        return true;
    }
    const bool negativeNumber = got.startsWith(u'-') && !got.contains(u'/');
    const bool dateOnly = got.size() == 10 && got.contains(u'/');
    const bool timeOnly = got.size() == 8 && got.contains(u':');
    switch (type) {
        case FREEXL_CELL_DATE:
            return got.startsWith(expected + u' ') || negativeNumber ||
                   (timeOnly && expected == QLatin1String("1900/01/01"));
        case FREEXL_CELL_TIME:
            return (got.size() == 19 && got.endsWith(u' ' + expected)) || negativeNumber ||
                   (dateOnly && expected == QLatin1String("00:00:00"));
        case FREEXL_CELL_DATETIME:
            return negativeNumber || expected == got + QLatin1String(" 00:00:00");
        default:
            return false;
    }
}

struct Tally {
    int64_t compared = 0;
    std::set<QString> eastAsianDates;  // workbooks where such dates were met
    QStringList mismatches;
};

void compareWorkbook(const QString& path, Tally& tally) {
    FreeXlHandle oracle;
    if (freexl_open(QFile::encodeName(path).constData(), &oracle.handle) != FREEXL_OK) {
        return;  // only workbooks both readers open are compared
    }
    auto opened = XlsWorkbook::open(path);
    // Workbooks we refuse on purpose: FreeXL reads encrypted ones as garbage, and versions
    // before Excel 5.0 are not offered.
    if (!opened && (opened.failure().text().contains(QStringLiteral("パスワードで保護")) ||
                    opened.failure().text().contains(QLatin1String("(BIFF")))) {
        return;
    }
    if (!opened) {
        tally.mismatches << QStringLiteral("%1: FreeXL opens it, we fail: %2")
                                .arg(QFileInfo(path).fileName(), opened.failure().text());
        return;
    }
    XlsWorkbook& ours = *opened.value();
    unsigned sheetCount = 0;
    freexl_get_info(oracle.handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount);
    for (unsigned s = 0; s < sheetCount; ++s) {
        const char* rawName = nullptr;
        unsigned rows = 0;
        unsigned short columns = 0;
        if (freexl_get_worksheet_name(oracle.handle, static_cast<unsigned short>(s), &rawName) !=
                FREEXL_OK ||
            freexl_select_active_worksheet(oracle.handle, static_cast<unsigned short>(s)) !=
                FREEXL_OK ||
            freexl_worksheet_dimensions(oracle.handle, &rows, &columns) != FREEXL_OK) {
            continue;
        }
        const QString name = QString::fromUtf8(rawName);
        const std::optional<int> sheet = ours.findSheet(name);
        if (!sheet) {
            tally.mismatches << QStringLiteral("%1: no sheet %2").arg(path, name);
            continue;
        }
        // FreeXL shows the cached series values of a chart sheet as cells; Excel's Cells does
        // not reach into a chart, and neither do we.
        if (ours.sheet(*sheet).kind == SheetKind::Chart) {
            continue;
        }
        for (unsigned r = 0; r < std::min(rows, kMaxRowsCompared); ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue value;
                if (freexl_get_cell_value(oracle.handle, r, c, &value) != FREEXL_OK) {
                    continue;
                }
                const std::optional<QString> expected = oracleText(value);
                if (!expected) {
                    continue;
                }
                const Result<QString> actual = ours.cellText(*sheet, r + 1, c + 1);
                const bool booleanOrError = value.type == FREEXL_CELL_INT &&
                                            (!actual || actual.value() == QLatin1String("True") ||
                                             actual.value() == QLatin1String("False"));
                if (booleanOrError) {
                    continue;
                }
                // FreeXL knows only the date formats every edition of Excel has; the Japanese
                // and other East Asian built-in formats 27-36 and 50-58 are dates too.
                const bool eastAsianDate =
                    value.type == FREEXL_CELL_INT || value.type == FREEXL_CELL_DOUBLE
                        ? actual &&
                              actual.value() == excelSerialText(value.type == FREEXL_CELL_INT
                                                                    ? value.value.int_value
                                                                    : value.value.double_value,
                                                                ours.date1904()) &&
                              actual.value().contains(u'/')
                        : false;
                if (eastAsianDate) {
                    tally.eastAsianDates.insert(QFileInfo(path).fileName());
                    continue;
                }
                ++tally.compared;
                const QString got = actual ? actual.value()
                                           : QStringLiteral("(failure) ") + actual.failure().text();
                if (!agrees(*expected, value.type, got) && tally.mismatches.size() < 50) {
                    tally.mismatches << QStringLiteral("%1 %2!%3: FreeXL \"%4\", ours \"%5\"")
                                            .arg(QFileInfo(path).fileName(), name,
                                                 cellName(r + 1, c + 1), *expected, got);
                }
            }
        }
    }
}

TEST(FreeXlDifferential, PeerWorkbooks) {
    KORVANE_FIXTURE(peers, "peer-xls");
    Tally tally;
    for (const QFileInfo& file : QDir(peers).entryInfoList(QDir::Files, QDir::Name)) {
        compareWorkbook(file.filePath(), tally);
    }
    EXPECT_GT(tally.compared, 100000);
    // Only the Japanese workbook uses such a format (56, "m月d日" in Japanese Excel).
    EXPECT_EQ(tally.eastAsianDates, std::set<QString>({"poi_12561-1.xls"}));
    EXPECT_TRUE(tally.mismatches.isEmpty()) << tally.mismatches.join('\n').toStdString();
}

TEST(FreeXlDifferential, DesignedWorkbooks) {
    Tally tally;
    for (const char* name : {"sample.xls", "sample_biff5_sjis.xls"}) {
        compareWorkbook(korvane::testing::testDataFile(QLatin1String(name)), tally);
    }
    EXPECT_GT(tally.compared, 150000);
    EXPECT_TRUE(tally.mismatches.isEmpty()) << tally.mismatches.join('\n').toStdString();
}

}  // namespace
}  // namespace korvane::xls
