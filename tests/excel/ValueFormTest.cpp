// Date serials, number formats and column letters: the tables the reader and the loader rely on.
#include <gtest/gtest.h>

#include <iomanip>
#include <limits>
#include <set>

#include "excel/ColumnLetters.h"
#include "platform/xls/NumberFormat.h"
#include "platform/xls/XlsModel.h"
#include "text/ValueText.h"

namespace korvane {
namespace {

TEST(ExcelSerial, DatesAsExcelShowsThem) {
    struct Case {
        double serial;
        bool date1904;
        const char* text;
    };
    const Case cases[] = {
        {1, false, "1900/01/01"},
        {59, false, "1900/02/28"},
        {60, false, "1900/02/29"},  // the day Excel counts although it never was
        {60.5, false, "1900/02/29 12:00:00"},
        {61, false, "1900/03/01"},
        {36526, false, "2000/01/01"},
        {45351.573263888889, false, "2024/02/29 13:45:30"},
        {0.5, false, "12:00:00"},
        {0, false, "00:00:00"},
        {2958465, false, "9999/12/31"},
        {2958466, false, "2958466"},  // beyond Excel's last day: the number stays
        {-1, false, "-1"},
        {0, true, "00:00:00"},
        {1, true, "1904/01/02"},
        {59, true, "1904/02/29"},  // 1904 was a leap year: no shift in this system
        {2957003, true, "9999/12/31"},
        {2957004, true, "2957004"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(xls::excelSerialText(c.serial, c.date1904), QString::fromUtf8(c.text))
            << c.serial << (c.date1904 ? " (1904)" : "");
    }
    EXPECT_EQ(xls::excelSerialText(std::numeric_limits<double>::quiet_NaN(), false),
              DoubleText(std::numeric_limits<double>::quiet_NaN()));
}

// Excel rounds a serial to whole seconds before it picks the day: a time a hair before
// midnight is the next day, in both date systems and around the 29 February 1900 Excel counts.
TEST(ExcelSerial, RoundsToTheSecondBeforeChoosingTheDay) {
    struct Case {
        double serial;
        bool date1904;
        const char* text;
    };
    const Case cases[] = {
        {0.00000001, false, "00:00:00"},
        {0.9999, false, "23:59:51"},
        {0.99999999, false, "1900/01/01"},
        {1.00000001, false, "1900/01/01"},
        {1.99999999, false, "1900/01/02"},
        {58.99999999, false, "1900/02/28"},
        {59.99999999, false, "1900/02/29"},
        {60.00000001, false, "1900/02/29"},
        {60.99999999, false, "1900/03/01"},
        {60.99998, false, "1900/02/29 23:59:58"},
        {61.00000001, false, "1900/03/01"},
        {61.99999999, false, "1900/03/02"},
        {45350.99999999, false, "2024/02/29"},
        {45351.99999999, false, "2024/03/01"},
        {45351.99998, false, "2024/02/29 23:59:58"},
        {2958465.99999999, false, "2958465.99999999"},  // rounds past Excel's last day
        {0.00000001, true, "00:00:00"},
        {0.99999999, true, "1904/01/02"},
        {1.00000001, true, "1904/01/02"},
        {58.99999999, true, "1904/02/29"},
        {59.99999999, true, "1904/03/01"},
        {60.00000001, true, "1904/03/01"},
        {60.99999999, true, "1904/03/02"},
        {61.99999999, true, "1904/03/03"},
        {43889.99999999, true, "2024/03/01"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(xls::excelSerialText(c.serial, c.date1904), QString::fromUtf8(c.text))
            << std::setprecision(12) << c.serial << (c.date1904 ? " (1904)" : "");
    }
}

TEST(NumberFormat, DateCodes) {
    struct Case {
        const char* code;
        bool isDate;
    };
    const Case cases[] = {
        {"yyyy-mm-dd", true},
        {"hh:mm", true},
        {"[h]:mm:ss", true},
        {"[mm]", true},
        {"d-mmm", true},
        {"[$-411]ggge\"年\"m\"月\"d\"日\"", true},
        {"General", false},
        {"0.00", false},
        {"#,##0\\ \"days\"", false},
        {"0 \"ymd hs\"", false},
        {"[Red]0.00", false},
        {"[DBNum1]0", false},
        {"0\\h", false},
        {"_(* #,##0_);_(* \\(#,##0\\)", false},
        {"0.00E+00", false},
        {"@", false},
        {"\"unterminated", false},
        {"[unterminated", false},
        {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(xls::isDateFormatCode(QString::fromUtf8(c.code)), c.isDate) << c.code;
    }
    for (int f : {14, 15, 16, 17, 18, 19, 20, 21, 22, 45, 46, 47}) {
        EXPECT_TRUE(xls::isBuiltInDateFormat(f)) << f;
    }
    for (int f : {0, 1, 2, 9, 10, 11, 13, 23, 37, 44, 48, 49, 59, 163}) {
        EXPECT_FALSE(xls::isBuiltInDateFormat(f)) << f;
    }
}

TEST(ColumnLetters, Table) {
    BuildColumnLetters();
    const std::pair<int, const char*> cases[] = {
        {0, ""},    {1, "A"},   {26, "Z"},   {27, "AA"},  {52, "AZ"},  {53, "BA"},
        {78, "BZ"}, {79, "CA"}, {100, "CV"}, {234, "HZ"}, {235, "IA"}, {255, "IU"},
    };
    for (const auto& [n, name] : cases) {
        EXPECT_EQ(ColumnLetters[static_cast<size_t>(n)], QLatin1String(name)) << n;
    }
    std::set<QString> distinct(ColumnLetters.begin() + 1, ColumnLetters.end());
    EXPECT_EQ(distinct.size(), 255u);
    for (int n = 28; n <= 255; ++n) {
        EXPECT_LT(ColumnLetters[n - 1], ColumnLetters[n]) << n;
    }
    for (int n = 1; n <= 255; ++n) {
        for (QChar c : ColumnLetters[n]) {
            EXPECT_TRUE(c >= u'A' && c <= u'Z') << n;
        }
    }
    BuildColumnLetters();  // building again gives the same table
    EXPECT_EQ(ColumnLetters[255], "IU");
}

TEST(ExcelCellName, Names) {
    EXPECT_EQ(xls::cellName(1, 1), "A1");
    EXPECT_EQ(xls::cellName(100, 27), "AA100");
    EXPECT_EQ(xls::cellName(65536, 256), "IV65536");
}

}  // namespace
}  // namespace korvane
