#pragma once
// The helper's side of the pipe to the viewer, shared by every reader helper process: requests
// read from stdin, framed replies written to a copy of the original stdout, and the test-only
// fault switches. Plain C++ so a helper may do without Qt.

#include <cstdint>
#include <string>

namespace korvane::helperpipe {

// Keeps a copy of stdout for the replies and points fd 1 at /dev/null, so that nothing a
// library prints can mix into them. False when the descriptors cannot be set up.
bool takeOverStdout();

bool writeAll(const std::string& data);
bool sendFrame(char kind, const std::string& payload);
// An error frame whose payload is one string holding `encodedDescription`, already in the
// protocol's text encoding.
bool sendError(char kind, const std::string& encodedDescription);

// False when the viewer has gone or the request is cut short.
bool readExact(void* buffer, size_t size);
bool readU32(uint32_t& value);
bool readI64(int64_t& value);
// A length-prefixed string of at most 1 MiB.
bool readString(std::string& value);

// Tests make a helper fail on purpose, to see that its death, silence or garbage reaches the
// user as a message. The switch is an environment variable naming the fault.
class FaultSwitch {
public:
    explicit FaultSwitch(const char* variable);
    bool is(const char* fault) const { return m_fault == fault; }
    // The text after `prefix` when the fault starts with it, else empty.
    std::string after(const char* prefix) const;
    const std::string& text() const { return m_fault; }
    // "crash-open" dies and "hang-open" never answers, before a file is opened.
    void actOnOpen() const;

private:
    std::string m_fault;
};

[[noreturn]] void crashNow();

// Tests count the helpers started: when KORVANE_READER_START_LOG names a file, each helper
// appends one line with its name to it.
void noteStart(const char* helperName);

}  // namespace korvane::helperpipe
