#include "shell/ListPane.h"

#include <algorithm>
#include <cstring>
#include <deque>

#include "text/Numbers.h"

namespace korvane {

// The text of every row added one by one. A row is a run of (length, UTF-8 bytes) pairs, the
// item text first, inside one block; a row that outgrows its block moves to a fresh one.
class ListPane::Arena {
public:
    struct RowRef {
        uint32_t block;
        uint32_t offset;
        uint32_t length;
    };

    void clear() {
        m_blocks.clear();
        m_rows.clear();
        m_used = 0;
    }

    int64_t rowCount() const { return static_cast<int64_t>(m_rows.size()); }

    void addRow(QStringView text) {
        ensureBlock(0);
        m_rows.push_back(
            RowRef{static_cast<uint32_t>(m_blocks.size() - 1), static_cast<uint32_t>(m_used), 0});
        appendText(text);
    }

    // Appends to the last row; the caller makes sure there is one.
    void appendText(QStringView text) {
        // UTF-16 to UTF-8 takes at most 3 bytes per unit; the length prefix at most 10.
        const size_t worst = 10 + 3 * static_cast<size_t>(text.size());
        RowRef& row = m_rows.back();
        if (m_used + worst > m_blocks.back().size) {
            // Move the row to a block of its own size or the standard size, whichever is larger.
            Block fresh = makeBlock(std::max(kBlockSize, row.length + worst));
            std::memcpy(fresh.data.get(), m_blocks[row.block].data.get() + row.offset, row.length);
            m_blocks.push_back(std::move(fresh));
            row.block = static_cast<uint32_t>(m_blocks.size() - 1);
            row.offset = 0;
            m_used = row.length;
        }
        uint8_t* out = reinterpret_cast<uint8_t*>(m_blocks.back().data.get() + m_used);
        uint8_t utf8[10 + 3 * 16];
        const bool small = text.size() <= 16;
        // Short texts are encoded aside first so the length prefix can go in front of them.
        uint8_t* body = small ? utf8 : out + 10;
        const size_t bodySize = encodeUtf8(text, body);
        const size_t lengthSize = encodeLength(bodySize, out);
        if (small || lengthSize != 10) {
            std::memmove(out + lengthSize, body, bodySize);
        }
        const size_t written = lengthSize + bodySize;
        m_used += written;
        row.length += static_cast<uint32_t>(written);
    }

    // All texts of a row: the item text first, then the sub-items.
    QStringList texts(int64_t rowIndex) const {
        QStringList result;
        const RowRef& row = m_rows[static_cast<size_t>(rowIndex)];
        const auto* data =
            reinterpret_cast<const uint8_t*>(m_blocks[row.block].data.get() + row.offset);
        size_t pos = 0;
        while (pos < row.length) {
            uint64_t length = 0;
            int shift = 0;
            while (pos < row.length) {
                const uint8_t byte = data[pos++];
                length |= static_cast<uint64_t>(byte & 0x7F) << shift;
                shift += 7;
                if ((byte & 0x80) == 0) {
                    break;
                }
            }
            result.append(QString::fromUtf8(reinterpret_cast<const char*>(data + pos),
                                            static_cast<qsizetype>(length)));
            pos += length;
        }
        return result;
    }

    int64_t storageBytes() const {
        int64_t bytes = static_cast<int64_t>(m_rows.size() * sizeof(RowRef));
        for (const Block& block : m_blocks) {
            bytes += static_cast<int64_t>(block.size);
        }
        return bytes;
    }

private:
    static constexpr size_t kBlockSize = 4u << 20;

    struct Block {
        std::unique_ptr<char[]> data;
        size_t size = 0;
    };

    static Block makeBlock(size_t size) { return Block{std::make_unique<char[]>(size), size}; }

    void ensureBlock(size_t needed) {
        if (m_blocks.empty() || m_used + needed + 10 > m_blocks.back().size) {
            m_blocks.push_back(makeBlock(std::max(kBlockSize, needed + 10)));
            m_used = 0;
        }
    }

    static size_t encodeUtf8(QStringView text, uint8_t* out) {
        size_t n = 0;
        const qsizetype size = text.size();
        const char16_t* units = text.utf16();
        for (qsizetype i = 0; i < size; ++i) {
            char32_t c = units[i];
            if (c < 0x80) {
                out[n++] = static_cast<uint8_t>(c);
                continue;
            }
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < size && units[i + 1] >= 0xDC00 &&
                units[i + 1] < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
                ++i;
            } else if (c >= 0xD800 && c < 0xE000) {
                c = 0xFFFD;  // a lone surrogate cannot be stored as UTF-8
            }
            if (c < 0x800) {
                out[n++] = static_cast<uint8_t>(0xC0 | (c >> 6));
            } else if (c < 0x10000) {
                out[n++] = static_cast<uint8_t>(0xE0 | (c >> 12));
                out[n++] = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
            } else {
                out[n++] = static_cast<uint8_t>(0xF0 | (c >> 18));
                out[n++] = static_cast<uint8_t>(0x80 | ((c >> 12) & 0x3F));
                out[n++] = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
            }
            out[n++] = static_cast<uint8_t>(0x80 | (c & 0x3F));
        }
        return n;
    }

    static size_t encodeLength(uint64_t value, uint8_t* out) {
        size_t size = 0;
        do {
            uint8_t byte = value & 0x7F;
            value >>= 7;
            if (value != 0) {
                byte |= 0x80;
            }
            out[size++] = byte;
        } while (value != 0);
        return size;
    }

    std::vector<Block> m_blocks;
    std::deque<RowRef> m_rows;
    size_t m_used = 0;
};

struct ListPane::Segment {
    int64_t firstRow = 0;
    int64_t count = 0;
    // Arena rows: firstArenaRow is the arena's row index of the first row.
    int64_t firstArenaRow = 0;
    // Sourced rows.
    std::shared_ptr<const ListRowSource> source;
    int64_t firstNumber = 0;
    int maxSubItems = 0;
};

ListPane::ListPane() : m_arena(std::make_unique<Arena>()) {}
ListPane::~ListPane() = default;

void ListPane::clearColumnHeaders() {
    m_headers.clear();
    notify(Change::Cleared);
}

void ListPane::addColumnHeader(const QString& text) {
    m_headers.append(text);
}

void ListPane::clearListItems() {
    m_arena->clear();
    m_segments.clear();
    m_itemCount = 0;
    notify(Change::Cleared);
}

int64_t ListPane::addListItem(QStringView text) {
    if (m_segments.empty() || m_segments.back().source) {
        Segment segment;
        segment.firstRow = m_itemCount;
        segment.firstArenaRow = m_arena->rowCount();
        m_segments.push_back(std::move(segment));
    }
    m_arena->addRow(text);
    ++m_segments.back().count;
    return m_itemCount++;
}

void ListPane::addListSubItem(QStringView text) {
    if (m_segments.empty() || m_segments.back().source) {
        return;  // only the row added last by addListItem takes sub-items
    }
    m_arena->appendText(text);
}

void ListPane::addSourcedListItems(std::shared_ptr<const ListRowSource> source, int64_t count,
                                   int64_t firstNumber, int maxSubItems) {
    if (!source || count <= 0) {
        return;
    }
    Segment segment;
    segment.firstRow = m_itemCount;
    segment.count = count;
    segment.source = std::move(source);
    segment.firstNumber = firstNumber;
    segment.maxSubItems = maxSubItems;
    m_segments.push_back(std::move(segment));
    m_itemCount += count;
}

const ListPane::Segment& ListPane::segmentOf(int64_t row) const {
    auto it = std::upper_bound(m_segments.begin(), m_segments.end(), row,
                               [](int64_t r, const Segment& s) { return r < s.firstRow; });
    return *(it - 1);
}

QString ListPane::itemText(int64_t row) const {
    if (row < 0 || row >= m_itemCount) {
        return {};
    }
    const Segment& segment = segmentOf(row);
    if (segment.source) {
        if (segment.source->lost(row - segment.firstRow)) {
            return {};
        }
        return NumberText(segment.firstNumber + (row - segment.firstRow));
    }
    QStringList texts = m_arena->texts(segment.firstArenaRow + (row - segment.firstRow));
    return texts.isEmpty() ? QString() : texts.first();
}

QStringList ListPane::subItems(int64_t row) const {
    if (row < 0 || row >= m_itemCount) {
        return {};
    }
    const Segment& segment = segmentOf(row);
    if (segment.source) {
        return segment.source->subItems(row - segment.firstRow, segment.maxSubItems);
    }
    QStringList texts = m_arena->texts(segment.firstArenaRow + (row - segment.firstRow));
    if (!texts.isEmpty()) {
        texts.removeFirst();
    }
    return texts;
}

void ListPane::refresh() {
    notify(Change::Refreshed);
}

int64_t ListPane::rowStorageBytes() const {
    return m_arena->storageBytes() + static_cast<int64_t>(m_segments.size() * sizeof(Segment));
}

void ListPane::notify(Change change) {
    if (m_listener) {
        m_listener(change);
    }
}

}  // namespace korvane
