#pragma once
// The framing shared by the reader helper processes and the viewer's side of them. Requests go
// to the helper's stdin; replies come back as frames of one kind byte, a 32-bit little-endian
// length and the payload. Strings are a 32-bit length and UTF-8 bytes; integers are
// little-endian. Plain C++ so a helper may do without Qt.

#include <cstdint>
#include <cstring>
#include <string>

namespace korvane::frameproto {

constexpr uint32_t kMaxFrame = 512u * 1024u * 1024u;  // no value of a valid file comes near it
constexpr size_t kFrameHeader = 5;                    // kind byte + u32 length

inline void putU32(std::string& out, uint32_t v) {
    char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                 static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
    out.append(b, 4);
}

inline void putString(std::string& out, const char* data, size_t size) {
    putU32(out, static_cast<uint32_t>(size));
    out.append(data, size);
}

inline void putString(std::string& out, const std::string& s) {
    putString(out, s.data(), s.size());
}

inline void appendFrame(std::string& out, char kind, const std::string& payload) {
    out.push_back(kind);
    putU32(out, static_cast<uint32_t>(payload.size()));
    out.append(payload);
}

// Reads the payload of a frame front to back; any read past the end marks it broken.
class PayloadReader {
public:
    PayloadReader(const char* data, size_t size) : m_data(data), m_size(size) {}

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos == m_size; }
    size_t remaining() const { return m_size - m_pos; }

    uint8_t u8() {
        if (!need(1)) {
            return 0;
        }
        return static_cast<uint8_t>(m_data[m_pos++]);
    }
    uint32_t u32() {
        if (!need(4)) {
            return 0;
        }
        const auto* p = reinterpret_cast<const unsigned char*>(m_data + m_pos);
        m_pos += 4;
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    // A string's bytes: pointer into the payload and its length.
    bool bytes(const char** data, uint32_t* size) {
        const uint32_t n = u32();
        if (!need(n)) {
            return false;
        }
        *data = m_data + m_pos;
        *size = n;
        m_pos += n;
        return true;
    }
    std::string string() {
        const char* d = nullptr;
        uint32_t n = 0;
        if (!bytes(&d, &n)) {
            return {};
        }
        return std::string(d, n);
    }

private:
    bool need(size_t n) {
        if (!m_ok || m_size - m_pos < n) {
            m_ok = false;
            return false;
        }
        return true;
    }
    const char* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

}  // namespace korvane::frameproto
