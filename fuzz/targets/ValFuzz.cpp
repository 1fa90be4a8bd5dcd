// Val and RoundHalfEven on any text: no crash, no undefined behaviour, and the rounding of a
// finite value is an integer within half of it.
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "text/Numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const double value = korvane::Val(text);
    if (std::isfinite(value)) {
        const double rounded = korvane::RoundHalfEven(value);
        if (rounded != std::floor(rounded) || std::fabs(rounded - value) > 0.5) {
            std::abort();
        }
    }
    korvane::NumberText(static_cast<int64_t>(size) - 100);
    return 0;
}
