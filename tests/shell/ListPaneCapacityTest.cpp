// Ten million rows of ten short columns must fit well inside 2 GB.
#include <gtest/gtest.h>

#include <QFile>
#include <cstdio>

#include "shell/ListPane.h"
#include "text/Numbers.h"

namespace korvane {
namespace {

int64_t peakResidentBytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
        }
    }
    return -1;
}

TEST(ListPaneCapacity, TenMillionRowsOfTenColumnsStayUnderTwoGigabytes) {
    constexpr int64_t kRows = 10'000'000;
    constexpr int kColumns = 10;
    const QString cells[kColumns] = {QStringLiteral("abc"),  QStringLiteral("12"),
                                     QStringLiteral("xyz1"), QStringLiteral("東京"),
                                     QStringLiteral("0.5"),  QStringLiteral("row"),
                                     QStringLiteral("q"),    QStringLiteral("2024/01/01"),
                                     QStringLiteral("True"), QStringLiteral("-1")};
    const int64_t before = peakResidentBytes();
    ListPane list;
    for (int64_t row = 1; row <= kRows; ++row) {
        list.addListItem(NumberText(row));
        for (const QString& cell : cells) {
            list.addListSubItem(cell);
        }
    }
    ASSERT_EQ(list.itemCount(), kRows);
    EXPECT_EQ(list.itemText(kRows - 1), QStringLiteral(" 10000000"));
    EXPECT_EQ(list.subItems(kRows / 2).at(3), QStringLiteral("東京"));

    const int64_t peak = peakResidentBytes();
    const double perCell =
        static_cast<double>(list.rowStorageBytes()) / static_cast<double>(kRows * (kColumns + 1));
    std::printf(
        "rows %lld, storage %lld bytes, %.2f bytes per cell (item text included), "
        "peak resident %lld MB (before %lld MB)\n",
        static_cast<long long>(kRows), static_cast<long long>(list.rowStorageBytes()), perCell,
        static_cast<long long>(peak >> 20), static_cast<long long>(before >> 20));
    EXPECT_LT(list.rowStorageBytes(), 2'000'000'000LL);
    if (peak > 0 && before > 0) {
        EXPECT_LT(peak - before, 2'000'000'000LL);
    }
}

}  // namespace
}  // namespace korvane
