#pragma once
// The order in which Access compares text (its General sort order): letters first, without
// regard to accents, case, kana type or width (Pâté < Pavlova, Åland < Alder, ｱ = ア = あ);
// then accents, so Pâté and Pate differ; case never decides (abc = ABC). As in Windows, a
// hyphen or an apostrophe counts only between texts that are otherwise equal
// (coop < co-op < cop), and ß reads as ss.

#include <cstddef>

namespace korvane {

// -1, 0 or 1 for two UTF-8 texts. A total order: usable as an index's collation.
int compareAccessText(const char* a, size_t lengthA, const char* b, size_t lengthB);

}  // namespace korvane
