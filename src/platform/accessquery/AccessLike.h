#pragma once
// Access's Like patterns: * any run of characters, ? one character, # one digit, [abc] [a-z]
// [!abc] one character of (or not of) a set. Letters match without regard to case, for all of
// Unicode, as every text comparison of the engine does.

#include <QString>
#include <optional>

namespace korvane {

// True when `text` matches `pattern`; std::nullopt when the pattern is malformed (an unclosed
// [ or a range written backwards), which Access rejects too.
std::optional<bool> accessLike(const QString& text, const QString& pattern);

}  // namespace korvane
