#include "platform/xls/BiffRecords.h"

#include <cstring>

namespace korvane::xls {

bool ByteReader::take(size_t count) {
    if (m_failed || count > remaining()) {
        m_failed = true;
        return false;
    }
    return true;
}

uint8_t ByteReader::u8() {
    if (!take(1)) {
        return 0;
    }
    return m_span.data[m_pos++];
}

uint16_t ByteReader::u16() {
    if (!take(2)) {
        return 0;
    }
    const uint8_t* p = m_span.data + m_pos;
    m_pos += 2;
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t ByteReader::u32() {
    if (!take(4)) {
        return 0;
    }
    const uint8_t* p = m_span.data + m_pos;
    m_pos += 4;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

double ByteReader::f64() {
    if (!take(8)) {
        return 0.0;
    }
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) {
        bits = bits << 8 | m_span.data[m_pos + static_cast<size_t>(i)];
    }
    m_pos += 8;
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool ByteReader::skip(size_t count) {
    if (!take(count)) {
        return false;
    }
    m_pos += count;
    return true;
}

RecordCursor::RecordCursor(const QByteArray& stream, size_t start)
    : m_data(reinterpret_cast<const uint8_t*>(stream.constData())),
      m_size(static_cast<size_t>(stream.size())),
      m_pos(start) {}

bool RecordCursor::next(Record& record) {
    if (m_pos >= m_size) {
        return false;
    }
    if (m_size - m_pos < 4) {
        m_truncated = true;
        m_pos = m_size;
        return false;
    }
    const uint8_t* p = m_data + m_pos;
    const auto type = static_cast<uint16_t>(p[0] | p[1] << 8);
    const auto length = static_cast<size_t>(p[2] | p[3] << 8);
    if (length > m_size - m_pos - 4) {
        m_truncated = true;
        m_pos = m_size;
        return false;
    }
    record.type = type;
    record.offset = m_pos;
    record.data = Span{p + 4, length};
    m_pos += 4 + length;
    return true;
}

uint16_t RecordCursor::peekType() const {
    if (m_pos >= m_size || m_size - m_pos < 4) {
        return 0;
    }
    return static_cast<uint16_t>(m_data[m_pos] | m_data[m_pos + 1] << 8);
}

std::vector<Span> withContinues(const Record& first, RecordCursor& cursor) {
    std::vector<Span> segments{first.data};
    Record next;
    while (cursor.peekType() == kContinue && cursor.next(next)) {
        segments.push_back(next.data);
    }
    return segments;
}

ContinuedReader::ContinuedReader(std::vector<Span> segments) : m_segments(std::move(segments)) {}

size_t ContinuedReader::left() const {
    return m_segment < m_segments.size() ? m_segments[m_segment].size - m_pos : 0;
}

bool ContinuedReader::advanceSegment() {
    while (m_segment < m_segments.size() && left() == 0) {
        ++m_segment;
        m_pos = 0;
    }
    return m_segment < m_segments.size();
}

bool ContinuedReader::atEnd() const {
    for (size_t s = m_segment; s < m_segments.size(); ++s) {
        if ((s == m_segment ? left() : m_segments[s].size) > 0) {
            return false;
        }
    }
    return true;
}

uint8_t ContinuedReader::u8() {
    if (m_failed || !advanceSegment()) {
        m_failed = true;
        return 0;
    }
    return m_segments[m_segment].data[m_pos++];
}

uint16_t ContinuedReader::u16() {
    const uint8_t low = u8();
    const uint8_t high = u8();
    return static_cast<uint16_t>(low | high << 8);
}

uint32_t ContinuedReader::u32() {
    const uint16_t low = u16();
    const uint16_t high = u16();
    return static_cast<uint32_t>(low) | static_cast<uint32_t>(high) << 16;
}

bool ContinuedReader::skip(size_t count) {
    while (count > 0 && !m_failed) {
        if (!advanceSegment()) {
            m_failed = true;
            break;
        }
        const size_t step = std::min(count, left());
        m_pos += step;
        count -= step;
    }
    return !m_failed;
}

bool ContinuedReader::readCharacters(uint32_t count, bool wide, QString& out) {
    while (count > 0 && !m_failed) {
        if (left() == 0) {
            // The characters go on in the next record, which starts with its own option byte.
            ++m_segment;
            m_pos = 0;
            if (m_segment >= m_segments.size() || left() == 0) {
                m_failed = true;
                break;
            }
            wide = (m_segments[m_segment].data[m_pos++] & 0x01) != 0;
        }
        const uint8_t* p = m_segments[m_segment].data + m_pos;
        const size_t width = wide ? 2 : 1;
        const size_t available = left() / width;
        if (available == 0) {
            m_failed = true;  // half a character at the end of a record
            break;
        }
        const size_t n = std::min<size_t>(count, available);
        if (wide) {
            for (size_t i = 0; i < n; ++i) {
                out.append(QChar(static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8)));
            }
        } else {
            for (size_t i = 0; i < n; ++i) {
                out.append(QChar(static_cast<char16_t>(p[i])));
            }
        }
        m_pos += n * width;
        count -= static_cast<uint32_t>(n);
    }
    return !m_failed;
}

}  // namespace korvane::xls
