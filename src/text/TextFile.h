#pragma once
// The one reader of text files. Every part that reads a text file goes through here, so they all
// agree on the encoding and on where lines are.
//
// Encoding: a UTF-8 byte order mark, or bytes that are valid UTF-8 throughout, mean UTF-8;
// anything else is Windows' Shift_JIS, code page 932 (see text/Cp932.h).
// Lines: CR or CR LF end a line and a lone LF is an ordinary character of its line; a file
// without any CR byte is a Unix text file, whose lines end at LF. The last line needs no line
// end, and a line end at the very end of the file starts no further line.
//
// CR, LF, "," and the double quote are never part of a multi-byte character in either encoding,
// so lines and CSV separators can be found in the raw bytes before anything is decoded.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "text/Cp932.h"
#include "text/Utf8Blocks.h"

class QIODevice;

namespace korvane {

enum class TextEncoding { Utf8, Cp932 };
enum class LineBreaks { CrOrCrLf, Lf };

constexpr size_t kUtf8BomSize = 3;
bool startsWithUtf8Bom(QByteArrayView bytes);

// Checks that a byte stream is UTF-8, fed in pieces of any size.
class Utf8Validator {
public:
    // Fastest checks 16 bytes at a time where the CPU allows; Scalar goes byte by byte (both
    // give the same answer; tests compare them).
    enum class Method { Fastest, Scalar };
    explicit Utf8Validator(Method method = Method::Fastest);

    void feed(QByteArrayView bytes);
    // Valid so far (a character may still be open at the end of what was fed).
    bool validSoFar() const { return !m_invalid; }
    // Everything fed was valid UTF-8 and no character is left open.
    bool validAtEnd() const;

private:
    void feedScalar(const uint8_t* data, size_t size);

    int m_pending = 0;  // continuation bytes still expected
    uint8_t m_low = 0x80;
    uint8_t m_high = 0xBF;  // range of the next continuation byte
    bool m_invalid = false;
    // The block check: whole blocks go straight through, a partial one waits in m_tail.
    bool m_useBlocks = false;
    Utf8BlockState m_blocks;
    uint8_t m_tail[16] = {};
    size_t m_tailSize = 0;
};

// The encoding of a whole file's bytes.
TextEncoding detectTextEncoding(QByteArrayView bytes);
// The line rule of a whole file's bytes.
LineBreaks detectLineBreaks(QByteArrayView bytes);

// The text of a line's bytes. No state is carried from one call to the next. With
// DecodeEnd::CutShort a character cut off at the end is dropped instead of shown as U+FFFD.
QString decodeText(QByteArrayView bytes, TextEncoding encoding, DecodeEnd end = DecodeEnd::Whole);

// Where one line lies: its text is [start, end); the next line starts at `next`.
struct LineSpan {
    uint64_t start = 0;
    uint64_t end = 0;
    uint64_t next = 0;
};

// Reads a file's bytes by position through cached blocks. The file stays open as long as the
// reader lives, so a file replaced on disk meanwhile (a new file renamed over it) is still read
// as it was, and bytes appended meanwhile lie past size() and are never read. Once the load
// pass has given the sums of the blocks it saw (expectBlockSums), every block read later is
// checked against them: a file changed or cut short where it stands is then noticed, and the
// reader stops reading it. The blocks read last are held, up to kHeldBytes, so the rows a list
// has shown can still be shown after that.
class TextFileReader {
public:
    // The unit of caching and of the checks.
    static constexpr int64_t kBlockSize = 64 * 1024;
    // At most this much of the file is held: hundreds of screens of rows shown anywhere in it.
    static constexpr int64_t kHeldBytes = 16 * 1024 * 1024;

    // Takes an open, readable device (a file, or in tests one that fails on purpose).
    explicit TextFileReader(std::unique_ptr<QIODevice> device);
    ~TextFileReader();
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;

    // Null when the file cannot be opened for reading.
    static std::unique_ptr<TextFileReader> openFile(const QString& path);

    // The size when the reader was made.
    uint64_t size() const { return m_size; }
    // Reads up to `count` bytes at `position` into `out`, bypassing the cache and the checks;
    // returns the bytes read, fewer at the end of the file, -1 when the device fails or the
    // file was found changed. Safe to call from several threads at once (the rest is not).
    int64_t readAt(uint64_t position, char* out, int64_t count) const;
    // Set once a read has failed.
    bool failed() const { return m_failed; }

    // blockSum() of every kBlockSize block from the start of the file, as the load pass read it.
    void expectBlockSums(std::vector<uint64_t> sums);
    // Set once a block read differs from what the load pass saw, or comes back short.
    bool changed() const { return m_changed; }

    // The line that starts at `start`; none when `start` is at or past the end of the file, or
    // when the line cannot be read whole.
    std::optional<LineSpan> lineAt(uint64_t start, LineBreaks breaks) const;
    // The bytes [from, to), cut at the end of the file; empty when they cannot be read whole.
    QByteArray bytes(uint64_t from, uint64_t to) const;

private:
    struct Block;
    // The cached block holding `position`, or null past the end of what can be read.
    const Block* blockAt(uint64_t position) const;
    // Reads the block at `blockStart` (a multiple of kBlockSize) and checks it; -1 when it
    // cannot be read or is not what the load pass saw.
    int64_t readBlock(uint64_t blockStart, char* out) const;

    std::unique_ptr<QIODevice> m_device;
    uint64_t m_size = 0;
    std::vector<uint64_t> m_sums;
    mutable std::vector<Block> m_blocks;
    mutable std::unordered_map<uint64_t, size_t> m_blockAt;  // block start -> index in m_blocks
    mutable size_t m_lastBlock = 0;                          // lines mostly stay in one block
    mutable std::unique_ptr<char[]> m_spare;
    mutable uint64_t m_useCounter = 0;
    int m_handle = -1;                 // the file's descriptor, for reads at a position
    mutable std::mutex m_deviceMutex;  // other devices read one at a time
    mutable std::atomic<bool> m_failed{false};
    mutable std::atomic<bool> m_changed{false};
};

// A whole text file read into lines, for files small enough to hold as strings.
struct TextFileLines {
    TextEncoding encoding = TextEncoding::Utf8;
    LineBreaks breaks = LineBreaks::Lf;
    QStringList lines;
};
// Reads and splits the bytes of a whole file.
TextFileLines splitTextLines(QByteArrayView bytes);
// None when the file cannot be opened or read.
std::optional<TextFileLines> readTextFileLines(const QString& path);

}  // namespace korvane
