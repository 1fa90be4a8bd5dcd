#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "text/ValueText.h"

namespace korvane {
namespace {

TEST(IntegerText, Table) {
    EXPECT_EQ(IntegerText(12), "12");
    EXPECT_EQ(IntegerText(-3), "-3");
    EXPECT_EQ(IntegerText(0), "0");
    EXPECT_EQ(IntegerText(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
}

TEST(DoubleText, Table) {
    const std::vector<std::pair<double, QString>> cases = {
        {0.0, "0"},
        {-0.0, "0"},
        {1.0, "1"},
        {0.1, "0.1"},
        {-3.5, "-3.5"},
        {1.0 / 3.0, "0.3333333333333333"},
        {0.1 + 0.2, "0.30000000000000004"},
        {123456.789, "123456.789"},
        {1e14, "100000000000000"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E+15"},
        {-1e15, "-1E+15"},
        {1e20, "1E+20"},
        {1.5e300, "1.5E+300"},
        {1e-5, "0.00001"},
        {-1.25e-5, "-0.0000125"},
        {9.99e-6, "9.99E-06"},
        {1.5e-7, "1.5E-07"},
        {5e-324, "5E-324"},
        {std::numeric_limits<double>::max(), "1.7976931348623157E+308"},
        {std::nan(""), "NaN"},
        {-INFINITY, "-Infinity"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(DoubleText(value).toStdString(), text.toStdString()) << value;
    }
}

TEST(DoubleText, ReadsBackToTheSameValue) {
    const std::vector<double> values = {0.1, 2.0 / 3.0, 1e-5, 1e15, 123456789.123, 4.35, -7e-9};
    for (double value : values) {
        bool ok = false;
        EXPECT_EQ(DoubleText(value).toDouble(&ok), value);
        EXPECT_TRUE(ok);
    }
}

TEST(FixedPointText, Table) {
    const auto max128 = ~static_cast<unsigned __int128>(0);
    struct Case {
        bool negative;
        unsigned __int128 magnitude;
        int scale;
        QString text;
    };
    const std::vector<Case> cases = {
        {false, 12345, 1, "1234.5"},
        {false, 12345000, 4, "1234.5"},
        {true, 1, 4, "-0.0001"},
        {false, 0, 4, "0"},
        {true, 0, 4, "0"},
        {false, 50, 2, "0.5"},
        {false, 100, 2, "1"},
        {true, 7, 0, "-7"},
        {false, 7, 28, "0.0000000000000000000000000007"},
        {false, 12, -3, "12000"},
        {false, max128, 0, "340282366920938463463374607431768211455"},
        {true, max128, 38, "-3.40282366920938463463374607431768211455"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FixedPointText(c.negative, c.magnitude, c.scale).toStdString(),
                  c.text.toStdString());
    }
}

TEST(CurrencyText, Table) {
    EXPECT_EQ(CurrencyText(12345000), "1234.5");
    EXPECT_EQ(CurrencyText(-1), "-0.0001");
    EXPECT_EQ(CurrencyText(0), "0");
    EXPECT_EQ(CurrencyText(10000), "1");
    EXPECT_EQ(CurrencyText(std::numeric_limits<int64_t>::max()), "922337203685477.5807");
    EXPECT_EQ(CurrencyText(std::numeric_limits<int64_t>::min()), "-922337203685477.5808");
}

TEST(OleDateText, Table) {
    const std::vector<std::pair<double, QString>> cases = {
        // The day 1899/12/30 reads as a time alone.
        {0.0, "00:00:00"},
        {0.5, "12:00:00"},
        {-0.5, "12:00:00"},
        {0.75 + 1.0 / 86400, "18:00:01"},
        {1.0, "1899/12/31"},
        {2.0, "1900/01/01"},
        {60.0, "1900/02/28"},
        {61.0, "1900/03/01"},
        {36585.0, "2000/02/29"},
        {45351.0, "2024/02/29"},
        {45292.5, "2024/01/01 12:00:00"},
        {2958465.0, "9999/12/31"},
        {-657434.0, "0100/01/01"},
        // Before 1899/12/30 the fraction is still the time of that day.
        {-1.0, "1899/12/29"},
        {-1.25, "1899/12/29 06:00:00"},
        {-36522.25, "1800/01/01 06:00:00"},
        {-36522.75, "1800/01/01 18:00:00"},
        // Rounded to the nearest second, carrying into the next day.
        {45292.0 + 0.4 / 86400, "2024/01/01"},
        {45292.0 + 0.6 / 86400, "2024/01/01 00:00:01"},
        {45292.0 - 0.4 / 86400, "2024/01/01"},
        {45292.999999, "2024/01/02"},
        {-1.999999, "00:00:00"},
        {-2.999999, "1899/12/29"},
        {-0.999999, "1899/12/31"},
    };
    for (const auto& [serial, text] : cases) {
        EXPECT_EQ(OleDateText(serial).toStdString(), text.toStdString()) << serial;
    }
}

TEST(OleDateText, OutsideTheDateRangeShowsTheNumber) {
    EXPECT_EQ(OleDateText(1e10), "10000000000");
    EXPECT_EQ(OleDateText(-1e7), "-10000000");
    EXPECT_EQ(OleDateText(std::nan("")), "NaN");
}

TEST(BooleanText, Table) {
    EXPECT_EQ(BooleanText(true), "True");
    EXPECT_EQ(BooleanText(false), "False");
}

}  // namespace
}  // namespace korvane
