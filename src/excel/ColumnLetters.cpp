#include "excel/ColumnLetters.h"

namespace korvane {

std::array<QString, kColumnLetterEntries> ColumnLetters;

void BuildColumnLetters() {
    for (int n = 1; n < kColumnLetterEntries; ++n) {
        const QChar last(u'A' + static_cast<char16_t>((n - 1) % 26));
        const int first = (n - 1) / 26;
        ColumnLetters[n] = first == 0
                               ? QString(last)
                               : QString(QChar(u'A' + static_cast<char16_t>(first - 1))) + last;
    }
}

}  // namespace korvane
