// A workbook file from any bytes: opening it, listing its sheets and reading cells of every
// sheet either works or gives a description; never a crash, a hang or undefined behaviour.
#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/xls/XlsWorkbook.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto opened = korvane::xls::XlsWorkbook::openBytes(bytes);
    if (!opened) {
        if (opened.failure().text().isEmpty()) {
            std::abort();  // every failure must say why
        }
        return 0;
    }
    korvane::xls::XlsWorkbook& workbook = *opened.value();
    const int sheets = std::min(workbook.sheetCount(), 8);
    for (int s = 0; s < sheets; ++s) {
        workbook.findSheet(workbook.sheet(s).name);
        for (int64_t row = 1; row <= 24; ++row) {
            for (int64_t column = 1; column <= 12; ++column) {
                const auto text = workbook.cellText(s, row, column);
                if (!text && text.failure().text().isEmpty()) {
                    std::abort();
                }
            }
        }
        // The edges of a worksheet and just beyond them.
        workbook.cellText(s, 65536, 256);
        workbook.cellText(s, 65537, 1);
        workbook.cellText(s, 1, 0);
    }
    return 0;
}
