#include "text/TextFile.h"

#include <unistd.h>
#include <QFile>
#include <QFileDevice>
#include <QIODevice>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "text/BlockSum.h"

namespace korvane {

namespace {

constexpr uint64_t kAsciiMask = 0x8080808080808080ull;
constexpr size_t kMaxBlocks = TextFileReader::kHeldBytes / TextFileReader::kBlockSize;

char lineEndByte(LineBreaks breaks) {
    return breaks == LineBreaks::Lf ? '\n' : '\r';
}

}  // namespace

bool startsWithUtf8Bom(QByteArrayView bytes) {
    return bytes.size() >= 3 && static_cast<uint8_t>(bytes[0]) == 0xEF &&
           static_cast<uint8_t>(bytes[1]) == 0xBB && static_cast<uint8_t>(bytes[2]) == 0xBF;
}

namespace {

inline bool isContinuation(uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

// The range the byte after a lead byte must fall in: it rules out overlong forms, surrogates
// and everything above U+10FFFF.
inline void secondByteRange(uint8_t lead, uint8_t& low, uint8_t& high) {
    low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
}

}  // namespace

Utf8Validator::Utf8Validator(Method method)
    : m_useBlocks(method == Method::Fastest && utf8BlocksAvailable()) {}

void Utf8Validator::feed(QByteArrayView bytes) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t size = static_cast<size_t>(bytes.size());
    if (!m_useBlocks) {
        feedScalar(data, size);
        return;
    }
    if (m_invalid || size == 0) {
        return;  // an empty view may carry no data pointer at all
    }
    if (m_tailSize > 0) {
        const size_t take = std::min(size, sizeof(m_tail) - m_tailSize);
        std::memcpy(m_tail + m_tailSize, data, take);
        m_tailSize += take;
        data += take;
        size -= take;
        if (m_tailSize < sizeof(m_tail)) {
            return;
        }
        checkUtf8Blocks(m_blocks, m_tail, 1);
        m_tailSize = 0;
    }
    const size_t whole = size / sizeof(m_tail);
    checkUtf8Blocks(m_blocks, data, whole);
    m_tailSize = size - whole * sizeof(m_tail);
    if (m_tailSize > 0) {
        std::memcpy(m_tail, data + whole * sizeof(m_tail), m_tailSize);
    }
    m_invalid = m_blocks.error;
}

bool Utf8Validator::validAtEnd() const {
    if (!m_useBlocks) {
        return !m_invalid && m_pending == 0;
    }
    if (m_invalid) {
        return false;
    }
    if (m_tailSize == 0) {
        return utf8BlocksComplete(m_blocks);
    }
    // The last partial block, filled up with ASCII: a character left open meets a NUL.
    Utf8BlockState last = m_blocks;
    uint8_t padded[sizeof(m_tail)] = {};
    std::memcpy(padded, m_tail, m_tailSize);
    checkUtf8Blocks(last, padded, 1);
    return utf8BlocksComplete(last);
}

void Utf8Validator::feedScalar(const uint8_t* data, size_t size) {
    size_t i = 0;
    while (i < size && !m_invalid) {
        const uint8_t byte = data[i];
        if (m_pending > 0) {
            // A character begun in an earlier piece.
            if (byte < m_low || byte > m_high) {
                m_invalid = true;
                return;
            }
            m_low = 0x80;
            m_high = 0xBF;
            --m_pending;
            ++i;
            continue;
        }
        if (byte < 0x80) {
            // Most text is ASCII: step over it a word at a time.
            ++i;
            uint64_t word;
            while (i + 8 <= size) {
                std::memcpy(&word, data + i, 8);
                if ((word & kAsciiMask) != 0) {
                    break;
                }
                i += 8;
            }
            continue;
        }
        int length = 0;
        if (byte < 0xC2) {
            m_invalid = true;  // a stray continuation byte or an overlong two-byte form
            return;
        } else if (byte < 0xE0) {
            length = 2;
        } else if (byte < 0xF0) {
            length = 3;
        } else if (byte < 0xF5) {
            length = 4;
        } else {
            m_invalid = true;
            return;
        }
        uint8_t low = 0x80;
        uint8_t high = 0xBF;
        secondByteRange(byte, low, high);
        if (i + static_cast<size_t>(length) <= size) {
            // The whole character is in this piece: check it in one go.
            const uint8_t second = data[i + 1];
            bool valid = second >= low && second <= high;
            for (int k = 2; k < length; ++k) {
                valid = valid && isContinuation(data[i + static_cast<size_t>(k)]);
            }
            if (!valid) {
                m_invalid = true;
                return;
            }
            i += static_cast<size_t>(length);
            continue;
        }
        // The character goes on in the next piece.
        m_pending = length - 1;
        m_low = low;
        m_high = high;
        ++i;
    }
}

namespace {

// How many bytes at the end of `bytes` begin a UTF-8 character that the bytes cut off.
qsizetype openUtf8TailSize(QByteArrayView bytes) {
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<uint8_t>(bytes[size - back]);
        if (isContinuation(byte)) {
            continue;
        }
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

}  // namespace

TextEncoding detectTextEncoding(QByteArrayView bytes) {
    if (startsWithUtf8Bom(bytes)) {
        return TextEncoding::Utf8;
    }
    Utf8Validator validator;
    validator.feed(bytes);
    return validator.validAtEnd() ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

LineBreaks detectLineBreaks(QByteArrayView bytes) {
    return bytes.contains('\r') ? LineBreaks::CrOrCrLf : LineBreaks::Lf;
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding, DecodeEnd end) {
    if (encoding == TextEncoding::Utf8) {
        if (end == DecodeEnd::CutShort) {
            bytes = bytes.first(bytes.size() - openUtf8TailSize(bytes));
        }
        // A byte order mark inside the file is a character of its line (U+FEFF), not a mark to
        // drop: only the one at the very start of the file is skipped, by the callers.
        thread_local QStringDecoder utf8(
            QStringConverter::Utf8,
            QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
        utf8.resetState();
        return utf8.decode(bytes);
    }
    return decodeCp932(bytes, end);
}

struct TextFileReader::Block {
    std::unique_ptr<char[]> data;
    uint64_t position = 0;
    int64_t length = 0;  // bytes held; fewer than kBlockSize at the end of the file
    uint64_t lastUse = 0;
};

TextFileReader::TextFileReader(std::unique_ptr<QIODevice> device) : m_device(std::move(device)) {
    const qint64 size = m_device ? m_device->size() : 0;
    m_size = size > 0 ? static_cast<uint64_t>(size) : 0;
    if (const auto* file = qobject_cast<const QFileDevice*>(m_device.get())) {
        m_handle = file->handle();
    }
}

TextFileReader::~TextFileReader() = default;

std::unique_ptr<TextFileReader> TextFileReader::openFile(const QString& path) {
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return nullptr;
    }
    return std::make_unique<TextFileReader>(std::move(file));
}

int64_t TextFileReader::readAt(uint64_t position, char* out, int64_t count) const {
    if (m_changed) {
        return -1;
    }
    if (!m_device || count <= 0 || position >= m_size) {
        return 0;
    }
    count = std::min<int64_t>(count, static_cast<int64_t>(m_size - position));
    int64_t done = 0;
    if (m_handle >= 0) {
        // Reads at a position of their own: the load pass reads on several threads at once.
        while (done < count) {
            const ssize_t got = ::pread(m_handle, out + done, static_cast<size_t>(count - done),
                                        static_cast<off_t>(position + static_cast<uint64_t>(done)));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                m_failed = true;
                return -1;
            }
            if (got == 0) {
                break;  // the file is shorter now than when it was opened
            }
            done += got;
        }
        return done;
    }
    std::lock_guard<std::mutex> lock(m_deviceMutex);
    if (!m_device->seek(static_cast<qint64>(position))) {
        m_failed = true;
        return -1;
    }
    while (done < count) {
        const qint64 got = m_device->read(out + done, count - done);
        if (got < 0) {
            m_failed = true;
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

void TextFileReader::expectBlockSums(std::vector<uint64_t> sums) {
    m_sums = std::move(sums);
}

int64_t TextFileReader::readBlock(uint64_t blockStart, char* out) const {
    const int64_t expected =
        std::min<int64_t>(kBlockSize, static_cast<int64_t>(m_size - blockStart));
    const int64_t got = readAt(blockStart, out, expected);
    if (got < 0 || m_sums.empty()) {
        return got;
    }
    const size_t index = static_cast<size_t>(blockStart / kBlockSize);
    if (got != expected || index >= m_sums.size() ||
        blockSum(out, static_cast<size_t>(got)) != m_sums[index]) {
        m_changed = true;
        return -1;
    }
    return got;
}

const TextFileReader::Block* TextFileReader::blockAt(uint64_t position) const {
    if (position >= m_size) {
        return nullptr;
    }
    const uint64_t blockStart = position - position % kBlockSize;
    auto held = [&](size_t index) -> const Block* {
        Block& block = m_blocks[index];
        block.lastUse = ++m_useCounter;
        m_lastBlock = index;
        return position < blockStart + static_cast<uint64_t>(block.length) ? &block : nullptr;
    };
    if (m_lastBlock < m_blocks.size() && m_blocks[m_lastBlock].position == blockStart) {
        return held(m_lastBlock);
    }
    if (const auto found = m_blockAt.find(blockStart); found != m_blockAt.end()) {
        return held(found->second);
    }
    if (m_changed) {
        return nullptr;  // the blocks read before stay; nothing more is read
    }
    // Read into the spare buffer first: a block found changed must not cost a block held.
    if (!m_spare) {
        m_spare = std::make_unique<char[]>(kBlockSize);
    }
    const int64_t got = readBlock(blockStart, m_spare.get());
    if (got < 0 && m_changed) {
        return nullptr;
    }
    size_t index = m_blocks.size();
    if (index < kMaxBlocks) {
        m_blocks.emplace_back();
    } else {
        // Misses are one per block read, rare next to the lookups: a plain scan finds the oldest.
        index = 0;
        for (size_t i = 1; i < m_blocks.size(); ++i) {
            if (m_blocks[i].lastUse < m_blocks[index].lastUse) {
                index = i;
            }
        }
        m_blockAt.erase(m_blocks[index].position);
    }
    Block& block = m_blocks[index];
    std::swap(m_spare, block.data);
    block.position = blockStart;
    block.length = std::max<int64_t>(got, 0);
    m_blockAt[blockStart] = index;
    return held(index);
}

std::optional<LineSpan> TextFileReader::lineAt(uint64_t start, LineBreaks breaks) const {
    const char endByte = lineEndByte(breaks);
    uint64_t position = start;
    while (true) {
        const Block* block = blockAt(position);
        if (block == nullptr) {
            if (position < m_size) {
                return std::nullopt;  // cannot be read: no part of a line is shown
            }
            // The end of the file: the last line needs no line end.
            if (position == start) {
                return std::nullopt;
            }
            return LineSpan{start, position, position};
        }
        const int64_t offset = static_cast<int64_t>(position - block->position);
        const void* found = std::memchr(block->data.get() + offset, endByte,
                                        static_cast<size_t>(block->length - offset));
        if (found == nullptr) {
            position = block->position + static_cast<uint64_t>(block->length);
            continue;
        }
        const uint64_t end =
            block->position +
            static_cast<uint64_t>(static_cast<const char*>(found) - block->data.get());
        uint64_t next = end + 1;
        if (breaks == LineBreaks::CrOrCrLf) {
            const Block* after = blockAt(next);
            if (after != nullptr &&
                after->data[static_cast<int64_t>(next - after->position)] == '\n') {
                ++next;
            }
        }
        return LineSpan{start, end, next};
    }
}

QByteArray TextFileReader::bytes(uint64_t from, uint64_t to) const {
    to = std::min(to, m_size);
    if (from >= to) {
        return {};
    }
    const int64_t count = static_cast<int64_t>(to - from);
    QByteArray result;
    result.reserve(count);
    if (count > kHeldBytes / 4) {
        // Very long lines go block by block past the cache and leave it to the short ones.
        std::unique_ptr<char[]> block(new char[kBlockSize]);
        for (uint64_t blockStart = from - from % kBlockSize; blockStart < to;
             blockStart += kBlockSize) {
            const int64_t got = readBlock(blockStart, block.get());
            const uint64_t begin = std::max(from, blockStart);
            const uint64_t end =
                std::min(to, blockStart + static_cast<uint64_t>(std::max<int64_t>(got, 0)));
            if (end <= begin) {
                return {};
            }
            result.append(block.get() + (begin - blockStart), static_cast<qsizetype>(end - begin));
        }
        return result;
    }
    uint64_t position = from;
    while (position < to) {
        const Block* block = blockAt(position);
        if (block == nullptr) {
            return {};
        }
        const int64_t offset = static_cast<int64_t>(position - block->position);
        const int64_t take =
            std::min<int64_t>(block->length - offset, static_cast<int64_t>(to - position));
        result.append(block->data.get() + offset, take);
        position += static_cast<uint64_t>(take);
    }
    return result;
}

TextFileLines splitTextLines(QByteArrayView bytes) {
    TextFileLines result;
    result.encoding = detectTextEncoding(bytes);
    result.breaks = detectLineBreaks(bytes);
    const char endByte = lineEndByte(result.breaks);
    qsizetype position = startsWithUtf8Bom(bytes) ? kUtf8BomSize : 0;
    while (position < bytes.size()) {
        qsizetype end = bytes.indexOf(endByte, position);
        qsizetype next = end + 1;
        if (end < 0) {
            end = bytes.size();
            next = end;
        } else if (result.breaks == LineBreaks::CrOrCrLf && next < bytes.size() &&
                   bytes[next] == '\n') {
            ++next;
        }
        result.lines.append(decodeText(bytes.sliced(position, end - position), result.encoding));
        position = next;
    }
    return result;
}

std::optional<TextFileLines> readTextFileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return splitTextLines(bytes);
}

}  // namespace korvane
