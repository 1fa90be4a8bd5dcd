// Built on ICU's root collation at secondary strength, which already orders letters first and
// accents next while ignoring case, kana type and width. Texts of ASCII alone, by far the most
// compared, never reach ICU: each character's place is taken from the collator once, so the
// two paths give the same order.

#include "platform/accessquery/AccessTextOrder.h"

#include <unicode/ucol.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane {

namespace {

// Windows reads ß as ss, where ICU's root puts an accent-like difference between them.
const UChar kRules[] = {u'&', u's', u's', u'=', 0x00DF, u'&', u'S', u'S', u'=', 0x1E9E, 0};

bool countsLast(unsigned char c) {
    return c == '-' || c == '\'';
}

class TextOrder {
public:
    TextOrder() {
        UErrorCode status = U_ZERO_ERROR;
        m_collator = ucol_openRules(kRules, -1, UCOL_DEFAULT, UCOL_SECONDARY, nullptr, &status);
        if (U_FAILURE(status)) {
            ucol_close(m_collator);
            m_collator = nullptr;
            status = U_ZERO_ERROR;
            m_collator = ucol_open("", &status);  // the root order, without the ß rule
            if (U_FAILURE(status)) {
                ucol_close(m_collator);
                m_collator = nullptr;
            }
        }
        if (m_collator) {
            ucol_setStrength(m_collator, UCOL_SECONDARY);
        }
        rankAscii();
    }
    ~TextOrder() { ucol_close(m_collator); }
    TextOrder(const TextOrder&) = delete;
    TextOrder& operator=(const TextOrder&) = delete;

    int compare(std::string_view a, std::string_view b) const {
        const bool ascii = isAscii(a) && isAscii(b);
        const int order = ascii ? compareAscii(a, b) : compareFull(a, b);
        return order != 0 ? order : compareCountsLast(a, b);
    }

private:
    static bool isAscii(std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
    }
    // Between texts equal but for their hyphens and apostrophes, the one without comes first,
    // then the one whose first comes later (coop < coo-p < co-op, bills < bill's).
    static int compareCountsLast(std::string_view a, std::string_view b) {
        const std::vector<std::pair<size_t, char>> x = countsLastPlaces(a);
        const std::vector<std::pair<size_t, char>> y = countsLastPlaces(b);
        for (size_t k = 0; k < x.size() && k < y.size(); ++k) {
            if (x[k].first != y[k].first) {
                return x[k].first > y[k].first ? -1 : 1;
            }
            if (x[k].second != y[k].second) {
                return x[k].second < y[k].second ? -1 : 1;
            }
        }
        return x.size() < y.size() ? -1 : x.size() > y.size() ? 1 : 0;
    }
    // Each hyphen or apostrophe with the number of other characters before it.
    static std::vector<std::pair<size_t, char>> countsLastPlaces(std::string_view s) {
        std::vector<std::pair<size_t, char>> places;
        size_t characters = 0;
        for (char c : s) {
            if (countsLast(static_cast<unsigned char>(c))) {
                places.emplace_back(characters, c);
            } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
                ++characters;
            }
        }
        return places;
    }

    // The collator's order of every ASCII character, as ranks (0: ignored, like controls).
    void rankAscii() {
        std::array<int, 128> order{};
        for (int c = 0; c < 128; ++c) {
            order[c] = c;
        }
        if (!m_collator) {
            for (int c = 0; c < 128; ++c) {
                m_rank[c] = static_cast<uint8_t>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            }
            return;
        }
        const auto cmp = [this](int x, int y) { return compareIcu(one(x), one(y)); };
        std::stable_sort(order.begin(), order.end(), [&](int x, int y) { return cmp(x, y) < 0; });
        uint8_t rank = 0;
        int previous = -1;
        for (const int c : order) {
            if (compareIcu(one(c), std::string_view()) == 0) {
                m_rank[c] = 0;  // ignored altogether
                continue;
            }
            if (previous < 0 || cmp(previous, c) != 0) {
                ++rank;
            }
            m_rank[c] = rank;
            previous = c;
        }
    }
    static std::string_view one(int c) {
        static const std::array<char, 128> chars = [] {
            std::array<char, 128> all{};
            for (int i = 0; i < 128; ++i) {
                all[i] = static_cast<char>(i);
            }
            return all;
        }();
        return std::string_view(&chars[c], 1);
    }

    int compareAscii(std::string_view a, std::string_view b) const {
        size_t i = 0, j = 0;
        for (;;) {
            const uint8_t x = nextRank(a, i);
            const uint8_t y = nextRank(b, j);
            if (x != y) {
                return x < y ? -1 : 1;
            }
            if (x == 0) {
                return 0;
            }
        }
    }
    // The rank of the next character that counts first, 0 at the end.
    uint8_t nextRank(std::string_view s, size_t& i) const {
        while (i < s.size()) {
            const auto c = static_cast<unsigned char>(s[i++]);
            if (!countsLast(c) && m_rank[c] != 0) {
                return m_rank[c];
            }
        }
        return 0;
    }

    int compareFull(std::string_view a, std::string_view b) const {
        const bool plain = !hasCountsLast(a) && !hasCountsLast(b);
        return plain ? compareIcu(a, b) : compareIcu(withoutCountsLast(a), withoutCountsLast(b));
    }
    static bool hasCountsLast(std::string_view s) {
        return std::any_of(s.begin(), s.end(),
                           [](char c) { return countsLast(static_cast<unsigned char>(c)); });
    }
    static std::string withoutCountsLast(std::string_view s) {
        std::string out;
        out.reserve(s.size());
        for (char c : s) {
            if (!countsLast(static_cast<unsigned char>(c))) {
                out += c;
            }
        }
        return out;
    }
    int compareIcu(std::string_view a, std::string_view b) const {
        if (!m_collator) {
            return a < b ? -1 : a > b ? 1 : 0;
        }
        UErrorCode status = U_ZERO_ERROR;
        const UCollationResult r =
            ucol_strcollUTF8(m_collator, a.data(), static_cast<int32_t>(a.size()), b.data(),
                             static_cast<int32_t>(b.size()), &status);
        return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
    }

    UCollator* m_collator = nullptr;
    std::array<uint8_t, 128> m_rank{};
};

}  // namespace

int compareAccessText(const char* a, size_t lengthA, const char* b, size_t lengthB) {
    static const TextOrder order;
    return order.compare(std::string_view(a, lengthA), std::string_view(b, lengthB));
}

}  // namespace korvane
