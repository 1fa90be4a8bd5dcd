#include "csv/CsvChunkScan.h"

#include <algorithm>
#include <cstring>

#include "csv/CsvLineCounter.h"
#include "text/BlockSum.h"

#if defined(__x86_64__) || defined(__i386__)
#define KORVANE_CHUNK_POPCNT 1
#endif

namespace korvane {

namespace {

// Bytes read before a chunk (to tell whether it begins at a line start) and after it (to finish
// a character that begins in it).
constexpr uint64_t kLookBehind = 3;
constexpr uint64_t kOverhang = 3;
constexpr uint64_t kMaxContinuations = 3;

inline bool isContinuation(uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

inline uint64_t utf8Length(uint8_t lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// Appends to `marks` the starts of the chunk's lines `wanted`, `wanted + step`, ... (counted
// from 0 in the chunk), taken from its bitmap of line starts.
template <bool kHardwareCount>
void selectStarts(const CsvChunk& chunk, int64_t wanted, int64_t step,
                  std::vector<uint64_t>& marks) {
    int64_t seen = 0;
    for (size_t w = 0; w < chunk.startBits.size() && wanted < chunk.lines; ++w) {
        const uint64_t word = chunk.startBits[w];
        if (word == 0) {
            continue;
        }
        const int count = popCount<kHardwareCount>(word);
        while (wanted < seen + count) {
            uint64_t rest = word;
            for (int64_t skip = wanted - seen; skip > 0; --skip) {
                rest &= rest - 1;
            }
            marks.push_back(chunk.begin + w * 64 + static_cast<uint64_t>(__builtin_ctzll(rest)));
            wanted += step;
        }
        seen += count;
    }
}

#if defined(KORVANE_CHUNK_POPCNT)
__attribute__((target("popcnt"), flatten)) void selectStartsPopcnt(const CsvChunk& chunk,
                                                                   int64_t wanted, int64_t step,
                                                                   std::vector<uint64_t>& marks) {
    selectStarts<true>(chunk, wanted, step, marks);
}
#endif

// The bytes of one chunk as read, with what lies just before and after it.
struct ChunkBytes {
    const char* base = nullptr;  // the byte at file position `from`
    uint64_t from = 0;
    uint64_t to = 0;  // bytes are known in [from, to)
    uint8_t at(uint64_t position) const { return static_cast<uint8_t>(base[position - from]); }
    const char* pointer(uint64_t position) const { return base + (position - from); }
};

// Where the first line that starts in the chunk starts, and whether the chunk begins inside an
// earlier line.
uint64_t firstLineStartIn(const CsvChunkJob& job, const ChunkBytes& bytes, CsvChunk& chunk) {
    const uint64_t begin = chunk.begin;
    chunk.continues = false;
    if (begin <= job.firstLineStart) {
        return job.firstLineStart;
    }
    const uint8_t previous = bytes.at(begin - 1);
    if (job.breaks == LineBreaks::Lf) {
        chunk.continues = previous != '\n';
        return begin;
    }
    if (previous == '\r') {
        // The LF of a CR LF split by the chunk border belongs to the line end before.
        return begin < chunk.end && bytes.at(begin) == '\n' ? begin + 1 : begin;
    }
    if (previous == '\n' && begin >= 2 && bytes.at(begin - 2) == '\r') {
        return begin;
    }
    chunk.continues = true;
    return begin;
}

// Sums up the head: its commas by the number of quotes before them, for the join to pick the
// ones outside quotes once it knows how the line stood at the chunk's start.
void summarizeHead(const char* data, uint64_t length, CsvChunk& chunk) {
    int odd = 0;
    for (uint64_t i = 0; i < length; ++i) {
        const char byte = data[i];
        if (byte == '"') {
            odd ^= 1;
        } else if (byte == ',') {
            ++chunk.headCommas[odd];
        }
    }
    chunk.headQuotesOdd = odd != 0;
    chunk.headEndsWithComma = length > 0 && data[length - 1] == ',';
    chunk.headCommaOdd = odd != 0;  // a comma is no quote: the count before it is the final one
}

// Finds the head and returns where the rest of the chunk starts; false when a CR turned up in a
// count that assumed LF line ends.
bool countHead(const CsvChunkJob& job, const ChunkBytes& bytes, CsvChunk& chunk,
               uint64_t& restStart) {
    const char endByte = job.breaks == LineBreaks::Lf ? '\n' : '\r';
    const char* data = bytes.pointer(chunk.begin);
    const auto length = static_cast<size_t>(chunk.end - chunk.begin);
    const void* found = std::memchr(data, endByte, length);
    const uint64_t headLength =
        found != nullptr ? static_cast<uint64_t>(static_cast<const char*>(found) - data) : length;
    if (job.breaks == LineBreaks::Lf && std::memchr(data, '\r', headLength) != nullptr) {
        chunk.sawCr = true;
        return false;
    }
    summarizeHead(data, headLength, chunk);
    if (found == nullptr) {
        restStart = chunk.end;
        return true;
    }
    chunk.headEnds = true;
    chunk.headEnd = chunk.begin + headLength;
    restStart = chunk.headEnd + 1;
    if (job.breaks == LineBreaks::CrOrCrLf && restStart < chunk.end &&
        bytes.at(restStart) == '\n') {
        ++restStart;
    }
    return true;
}

// Checks the characters whose first byte lies in the chunk.
void checkUtf8(const ChunkBytes& bytes, CsvChunk& chunk) {
    chunk.utf8Checked = true;
    uint64_t first = chunk.begin;
    while (first < chunk.end && first - chunk.begin < kMaxContinuations &&
           isContinuation(bytes.at(first))) {
        ++first;  // the end of a character that began before the chunk
    }
    uint64_t last = chunk.end;
    const uint64_t lowest = std::max(first, chunk.end >= 3 ? chunk.end - 3 : 0);
    for (uint64_t q = chunk.end; q > lowest;) {
        --q;
        if (!isContinuation(bytes.at(q))) {
            last = std::max(last, q + utf8Length(bytes.at(q)));
            break;
        }
    }
    last = std::min(last, bytes.to);
    chunk.utf8Begin = first;
    chunk.utf8End = first < chunk.end ? last : first;
    if (first < chunk.end) {
        Utf8Validator validator;
        validator.feed(QByteArrayView(bytes.pointer(first), static_cast<qsizetype>(last - first)));
        chunk.utf8Valid = validator.validAtEnd();
    }
}

// The sums of the reader's blocks that begin in the chunk (the first chunk: also those before
// it, under a byte order mark).
void sumBlocks(const CsvChunkJob& job, const ChunkBytes& bytes, const CsvChunk& chunk) {
    const auto blockSize = static_cast<uint64_t>(TextFileReader::kBlockSize);
    const uint64_t size = job.reader->size();
    const uint64_t from = chunk.begin <= job.firstLineStart ? 0 : chunk.begin;
    std::vector<char> spare;
    for (uint64_t block = (from + blockSize - 1) / blockSize * blockSize; block < chunk.end;
         block += blockSize) {
        const uint64_t blockEnd = std::min(block + blockSize, size);
        uint64_t sum = 0;
        if (block >= bytes.from && blockEnd <= bytes.to) {
            sum = blockSum(bytes.pointer(block), static_cast<size_t>(blockEnd - block));
        } else {
            // Only where chunk borders do not fall on block borders (tests cut anywhere).
            spare.resize(static_cast<size_t>(blockEnd - block));
            const int64_t got =
                job.reader->readAt(block, spare.data(), static_cast<int64_t>(blockEnd - block));
            sum = blockSum(spare.data(), static_cast<size_t>(std::max<int64_t>(got, 0)));
        }
        (*job.blockSums)[static_cast<size_t>(block / blockSize)] = sum;
    }
}

}  // namespace

void countCsvChunk(const CsvChunkJob& job, std::vector<char>& buffer, CsvChunk& chunk) {
    const uint64_t size = job.reader->size();
    const uint64_t readFrom = chunk.begin >= kLookBehind ? chunk.begin - kLookBehind : 0;
    const uint64_t readTo = std::min(size, chunk.end + kOverhang);
    if (buffer.size() < readTo - readFrom) {
        buffer.resize(static_cast<size_t>(readTo - readFrom));
    }
    const int64_t got =
        job.reader->readAt(readFrom, buffer.data(), static_cast<int64_t>(readTo - readFrom));
    if (got < 0) {
        chunk.failed = true;
        return;
    }
    const ChunkBytes bytes{buffer.data(), readFrom, readFrom + static_cast<uint64_t>(got)};
    if (bytes.to < chunk.end) {
        chunk.cutShort = true;  // the file is shorter now: count what is there
        chunk.end = std::max(chunk.begin, bytes.to);
    }
    if (chunk.end == chunk.begin) {
        return;
    }

    uint64_t restStart = firstLineStartIn(job, bytes, chunk);
    if (chunk.continues && !countHead(job, bytes, chunk, restStart)) {
        return;
    }
    chunk.startBits.assign(static_cast<size_t>((chunk.end - chunk.begin + 63) / 64), 0);
    CsvLineCounter counter(job.breaks, restStart, job.method);
    counter.recordLineStarts(chunk.startBits.data(), chunk.begin);
    if (restStart < chunk.end) {
        counter.feed(bytes.pointer(restStart), static_cast<size_t>(chunk.end - restStart));
    }
    if (counter.sawCr()) {
        chunk.sawCr = true;
        return;
    }
    chunk.lines = counter.lineCount();
    chunk.widest = counter.maxFieldCount();
    chunk.tailStart = counter.lineStart();
    chunk.tailCommas = counter.lineCommas();
    chunk.tailInQuotes = counter.inQuotes();
    chunk.tailLastWasSeparator = counter.lastWasSeparator();

    if (job.checkUtf8 && (job.notUtf8 == nullptr || !job.notUtf8->load())) {
        checkUtf8(bytes, chunk);
        if (!chunk.utf8Valid && job.notUtf8 != nullptr) {
            job.notUtf8->store(true);
        }
    }
    if (job.blockSums != nullptr) {
        sumBlocks(job, bytes, chunk);
    }
}

CsvChunkJoin::CsvChunkJoin(uint64_t firstLineStart, int64_t linesPerMark)
    : m_linesPerMark(linesPerMark), m_lineStart(firstLineStart) {}

void CsvChunkJoin::add(const CsvChunk& chunk) {
    if (chunk.end == chunk.begin) {
        return;
    }
    joinUtf8(chunk);
    if (chunk.continues) {
        const int64_t separators = chunk.headCommas[m_inQuotes ? 1 : 0];
        const bool lastSeparates = chunk.headEndsWithComma && chunk.headCommaOdd == m_inQuotes;
        if (!chunk.headEnds) {
            // The whole chunk lies inside one line.
            m_commas += separators;
            m_lastWasSeparator = lastSeparates;
            m_inQuotes = m_inQuotes != chunk.headQuotesOdd;
            return;
        }
        const bool endsWithSeparator =
            chunk.headEnd > chunk.begin ? lastSeparates : m_lastWasSeparator;
        const int64_t fields = chunk.headEnd > m_lineStart
                                   ? m_commas + separators + 1 - (endsWithSeparator ? 1 : 0)
                                   : 0;
        endLine(m_lineStart, fields);
    }
    addStarts(chunk);
    m_lineCount += chunk.lines;
    m_maxFields = std::max(m_maxFields, chunk.widest);
    m_lineStart = chunk.tailStart;
    m_commas = chunk.tailCommas;
    m_inQuotes = chunk.tailInQuotes;
    m_lastWasSeparator = chunk.tailLastWasSeparator;
}

void CsvChunkJoin::finish(uint64_t end) {
    if (end > m_lineStart) {
        endLine(m_lineStart, m_commas + 1 - (m_lastWasSeparator ? 1 : 0));
        m_lineStart = end;
    }
    m_utf8End = end;
}

void CsvChunkJoin::endLine(uint64_t start, int64_t fields) {
    if (m_lineCount % m_linesPerMark == 0) {
        m_marks.push_back(start);
    }
    ++m_lineCount;
    m_maxFields = std::max(m_maxFields, fields);
}

void CsvChunkJoin::addStarts(const CsvChunk& chunk) {
    // The marks fall on the lines whose number in the whole file is a multiple of
    // m_linesPerMark: pick those among the chunk's line starts, in order.
    const int64_t wanted = (m_linesPerMark - m_lineCount % m_linesPerMark) % m_linesPerMark;
#if defined(KORVANE_CHUNK_POPCNT)
    static const bool popcnt = __builtin_cpu_supports("popcnt");
    if (popcnt) {
        selectStartsPopcnt(chunk, wanted, m_linesPerMark, m_marks);
        return;
    }
#endif
    selectStarts<false>(chunk, wanted, m_linesPerMark, m_marks);
}

void CsvChunkJoin::joinUtf8(const CsvChunk& chunk) {
    if (!m_utf8Valid) {
        return;
    }
    if (!chunk.utf8Checked || !chunk.utf8Valid) {
        m_utf8Valid = false;
    } else if (chunk.utf8Begin == chunk.utf8End) {
        // Only the end of a character that began before: it must have been checked with it.
        m_utf8Valid = chunk.end <= m_utf8Covered;
    } else if (chunk.utf8Begin != m_utf8Covered) {
        m_utf8Valid = false;  // bytes left between two characters, or one read twice
    } else {
        m_utf8Covered = chunk.utf8End;
    }
}

}  // namespace korvane
