#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "text/Numbers.h"

namespace korvane {
namespace {

TEST(NumberText, SignPosition) {
    const std::vector<std::pair<int64_t, QString>> cases = {
        {0, " 0"},
        {1, " 1"},
        {32767, " 32767"},
        {-1, "-1"},
        {-32768, "-32768"},
        {std::numeric_limits<int64_t>::max(), " 9223372036854775807"},
        {std::numeric_limits<int64_t>::min(), "-9223372036854775808"},
    };
    for (const auto& [number, text] : cases) {
        EXPECT_EQ(NumberText(number).toStdString(), text.toStdString());
    }
}

TEST(Val, Table) {
    struct Case {
        QString text;
        double value;
    };
    const std::vector<Case> cases = {
        {"", 0},
        {"abc", 0},
        {"12", 12},
        {"  12  ", 12},
        {"1 2", 12},
        {"\t1\n2 3", 123},
        {"1615 198th Street", 1615198},
        {"12abc", 12},
        {"-5", -5},
        {"+5", 5},
        {"- 5", -5},
        {"--5", 0},
        {"+-5", 0},
        {"-", 0},
        {"1,000", 1},
        {"1.5", 1.5},
        {".5", 0.5},
        {"5.", 5},
        {".", 0},
        {"-.", 0},
        {"1.2.3", 1.2},
        {"2.5E3", 2500},
        {"2.5e-1", 0.25},
        {"1D2", 100},
        {"1d+2", 100},
        {"1 E 2", 100},
        {"1E", 1},
        {"1E+", 1},
        {"1Ex", 1},
        {"E5", 0},
        {"&HFF", 255},
        {"&hff", 255},
        {"&H", 0},
        {"&HG", 0},
        {"&H1G", 1},
        {"&O17", 15},
        {"&o18", 1},
        {"&17", 0},
        {"-&H10", -16},
        {"& H 1 0", 16},
        {"&HFFFF", 65535},
        {"&HFFFFFFFFFFFFFFFF", 18446744073709551615.0},
        {"00012", 12},
        {"0x1A", 0},
        {u8"１２", 0},
        {"\r12", 0},
        {"99999999999999999999", 1e20},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(Val(c.text), c.value) << "«" << c.text.toStdString() << "»";
    }
}

TEST(Val, OutOfRangeStaysApart) {
    EXPECT_TRUE(std::isinf(Val(u"1E400")));
    EXPECT_GT(Val(u"1E400"), 0);
    EXPECT_LT(Val(u"-1E400"), 0);
    EXPECT_EQ(Val(u"1E-400"), 0);
    EXPECT_EQ(Val(u"40000"), 40000);
    EXPECT_EQ(Val(u"-0"), 0);
    EXPECT_FALSE(std::signbit(Val(u"-0")));
}

TEST(RoundHalfEven, Table) {
    const std::vector<std::pair<double, double>> cases = {
        {0, 0},
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {3.5, 4},
        {2.4999, 2},
        {2.5001, 3},
        {-0.5, 0},
        {-1.5, -2},
        {-2.5, -2},
        {-3.5, -4},
        {-2.6, -3},
        {-2.4, -2},
        {32767.5, 32768},
        {32766.5, 32766},
        {1e300, 1e300},
        {4503599627370497.0, 4503599627370497.0},
    };
    for (const auto& [value, rounded] : cases) {
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    }
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
    EXPECT_TRUE(std::isinf(RoundHalfEven(INFINITY)));
}

}  // namespace
}  // namespace korvane
