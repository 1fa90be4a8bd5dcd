#include "platform/accessquery/AccessLike.h"

#include <QChar>
#include <vector>

namespace korvane {

namespace {

char32_t fold(char32_t c) {
    return QChar::toCaseFolded(c);
}

// One pattern position: a run of anything, or a test on exactly one character.
struct LikeToken {
    enum class Type { AnyRun, AnyOne, Digit, Literal, Set } type = Type::Literal;
    char32_t literal = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;  // folded, inclusive

    bool matches(char32_t c) const {
        switch (type) {
            case Type::AnyOne:
                return true;
            case Type::Digit:
                return c >= U'0' && c <= U'9';
            case Type::Literal:
                return fold(c) == literal;
            case Type::Set: {
                // A range like A-Z takes both letter cases.
                const char32_t forms[] = {c, fold(c), QChar::toLower(c), QChar::toUpper(c)};
                bool inSet = false;
                for (const auto& range : ranges) {
                    for (char32_t form : forms) {
                        inSet = inSet || (form >= range.first && form <= range.second);
                    }
                }
                return inSet != negated;
            }
            case Type::AnyRun:
                break;
        }
        return false;
    }
};

bool compile(const std::u32string& pattern, std::vector<LikeToken>& out) {
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char32_t c = pattern[i];
        LikeToken token;
        if (c == U'*') {
            if (!out.empty() && out.back().type == LikeToken::Type::AnyRun) {
                continue;  // ** is the same as *
            }
            token.type = LikeToken::Type::AnyRun;
        } else if (c == U'?') {
            token.type = LikeToken::Type::AnyOne;
        } else if (c == U'#') {
            token.type = LikeToken::Type::Digit;
        } else if (c == U'[') {
            size_t j = i + 1;
            if (j < pattern.size() && pattern[j] == U'!') {
                token.negated = true;
                ++j;
            }
            const size_t first = j;
            while (j < pattern.size() && (pattern[j] != U']' || j == first)) {
                ++j;
            }
            if (j >= pattern.size()) {
                return false;
            }
            if (j == i + 1) {
                // [] matches the zero-length string: it stands for no character at all.
                i = j;
                continue;
            }
            token.type = LikeToken::Type::Set;
            for (size_t k = first; k < j; ++k) {
                char32_t low = pattern[k];
                char32_t high = low;
                if (k + 2 < j && pattern[k + 1] == U'-') {
                    high = pattern[k + 2];
                    k += 2;
                    if (high < low) {
                        return false;
                    }
                    token.ranges.push_back({low, high});
                    continue;
                }
                token.ranges.push_back({fold(low), fold(high)});
            }
            i = j;
        } else {
            token.literal = fold(c);
        }
        out.push_back(std::move(token));
    }
    return true;
}

}  // namespace

std::optional<bool> accessLike(const QString& text, const QString& pattern) {
    std::vector<LikeToken> tokens;
    if (!compile(pattern.toStdU32String(), tokens)) {
        return std::nullopt;
    }
    const std::u32string chars = text.toStdU32String();
    // Every token but * takes exactly one character, so the usual wildcard walk with one
    // remembered * is exact and takes at most |text| x |pattern| steps.
    size_t t = 0, p = 0;
    size_t starToken = tokens.size(), starText = 0;
    while (t < chars.size()) {
        if (p < tokens.size() && tokens[p].type == LikeToken::Type::AnyRun) {
            starToken = p++;
            starText = t;
        } else if (p < tokens.size() && tokens[p].matches(chars[t])) {
            ++p;
            ++t;
        } else if (starToken < tokens.size()) {
            p = starToken + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < tokens.size() && tokens[p].type == LikeToken::Type::AnyRun) {
        ++p;
    }
    return p == tokens.size();
}

}  // namespace korvane
