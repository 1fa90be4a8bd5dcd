#pragma once
// The record layer of a BIFF stream: records (type, length, data) read with every length
// checked against the bytes that are really there, and the view of a record together with its
// CONTINUE records as one run of bytes.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvane::xls {

// Record types this reader looks at.
enum RecordType : uint16_t {
    kFormula = 0x0006,
    kEof = 0x000A,
    kDateMode = 0x0022,
    kFilePass = 0x002F,
    kContinue = 0x003C,
    kCodePage = 0x0042,
    kBoundSheet = 0x0085,
    kMulRk = 0x00BD,
    kMulBlank = 0x00BE,
    kRString = 0x00D6,
    kXf = 0x00E0,
    kSst = 0x00FC,
    kLabelSst = 0x00FD,
    kBlank = 0x0201,
    kNumber = 0x0203,
    kLabel = 0x0204,
    kBoolErr = 0x0205,
    kString = 0x0207,
    kRk = 0x027E,
    kFormat = 0x041E,
    kBof = 0x0809,
    // BOF records of the versions before Excel 5.0
    kBofBiff2 = 0x0009,
    kBofBiff3 = 0x0209,
    kBofBiff4 = 0x0409,
};

struct Span {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// Little-endian reading inside one span. Reading past its end yields zeros and sets failed(),
// so a record's fields are read first and checked once.
class ByteReader {
public:
    explicit ByteReader(Span span) : m_span(span) {}
    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    double f64();
    bool skip(size_t count);
    size_t position() const { return m_pos; }
    size_t remaining() const { return m_span.size - m_pos; }
    const uint8_t* current() const { return m_span.data + m_pos; }
    bool failed() const { return m_failed; }

private:
    bool take(size_t count);
    Span m_span;
    size_t m_pos = 0;
    bool m_failed = false;
};

struct Record {
    uint16_t type = 0;
    size_t offset = 0;  // stream position of the record header
    Span data;
};

// Walks the records of a stream from a given position.
class RecordCursor {
public:
    RecordCursor(const QByteArray& stream, size_t start);
    // The next record; false at the end of the stream or when a record's stated length runs
    // past it (then truncated() is true).
    bool next(Record& record);
    // The type of the record after the current one, without moving; 0 at the end.
    uint16_t peekType() const;
    bool truncated() const { return m_truncated; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos;
    bool m_truncated = false;
};

// A record and the CONTINUE records after it, read as one run of bytes. Character data that
// crosses into the next record starts there with a fresh option byte that says whether the
// rest is stored one or two bytes per character.
class ContinuedReader {
public:
    explicit ContinuedReader(std::vector<Span> segments);
    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    bool skip(size_t count);
    // Appends `count` characters, the first ones stored two bytes each when `wide`.
    bool readCharacters(uint32_t count, bool wide, QString& out);
    bool atEnd() const;
    bool failed() const { return m_failed; }

private:
    size_t left() const;  // bytes left in the current segment
    bool advanceSegment();
    std::vector<Span> m_segments;
    size_t m_segment = 0;
    size_t m_pos = 0;
    bool m_failed = false;
};

// Gathers `first` and every CONTINUE record right after it, moving the cursor past them.
std::vector<Span> withContinues(const Record& first, RecordCursor& cursor);

}  // namespace korvane::xls
