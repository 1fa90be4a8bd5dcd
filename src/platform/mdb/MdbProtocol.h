#pragma once
// The pipe protocol between the data-access component and korvane-mdb-reader, the helper process
// that alone calls libmdb. Plain C++ so the reader needs no Qt.
//
// Requests (component -> reader, on the reader's stdin): one opcode byte, then its arguments.
// Replies (reader -> component, on a descriptor that is not fd 1, because libmdb prints to
// stdout on its own): frames of one kind byte, a 32-bit little-endian length and the payload.
// Strings are a 32-bit length and UTF-8 bytes; integers are little-endian.

#include <cstdint>
#include <cstring>
#include <string>

namespace korvane::mdbproto {

// Requests.
constexpr char kOpenDatabase = 'D';  // path; reply: kDatabase or kError
constexpr char kOpenTable = 'T';     // name; reply: kTableHeader or kError
constexpr char kNextRows = 'N';      // u32 max rows; reply: kRow... then kBatchEnd or kTableEnd
constexpr char kQuit = 'Q';          // no reply; the reader ends

// Reply frames.
// kDatabase: u32 jet version (0 Jet 3, 1 Jet 4, higher: later formats), u32 entry count,
//   per entry: string name, i32 type (MSysObjects.Type & 0x7F), u32 flags.
constexpr char kDatabase = 'd';
// kTableHeader: u32 declared row count, u32 column count, per column: string name, u8 type,
//   i32 size, u8 scale, u8 precision.
constexpr char kTableHeader = 'h';
// kRow: per column of the header: u8 presence (0 Null, 1 value), and for a value a string of
//   raw bytes. Yes/No values are one byte 0 or 1. Text and memo are UTF-16LE, either plain or
//   in the compressed form (FF FE marker); memo and OLE values are whole.
constexpr char kRow = 'r';
constexpr char kBatchEnd = 'b';
constexpr char kTableEnd = 'z';
// kError: string description (Japanese, shown to the user).
constexpr char kError = 'e';

constexpr uint32_t kMaxFrame = 512u * 1024u * 1024u;  // no value of a valid file comes near it

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

// Reads the payload of a frame front to back; any read past the end marks it broken.
class PayloadReader {
public:
    PayloadReader(const char* data, size_t size) : m_data(data), m_size(size) {}

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos == m_size; }

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

}  // namespace korvane::mdbproto
