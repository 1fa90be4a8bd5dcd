#include "platform/process/HelperPipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "platform/process/FrameProtocol.h"

namespace korvane::helperpipe {

namespace {
int g_out = -1;
}  // namespace

bool takeOverStdout() {
    g_out = dup(1);
    const int devNull = open("/dev/null", O_WRONLY);
    if (g_out < 0 || devNull < 0 || dup2(devNull, 1) < 0) {
        return false;
    }
    close(devNull);
    return true;
}

bool writeAll(const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(g_out, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool sendFrame(char kind, const std::string& payload) {
    std::string frame;
    frameproto::appendFrame(frame, kind, payload);
    return writeAll(frame);
}

bool sendError(char kind, const std::string& encodedDescription) {
    std::string payload;
    frameproto::putString(payload, encodedDescription);
    return sendFrame(kind, payload);
}

bool readExact(void* buffer, size_t size) {
    auto* p = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t n = read(0, p, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool readU32(uint32_t& value) {
    unsigned char b[4];
    if (!readExact(b, 4)) {
        return false;
    }
    value = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
            (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return true;
}

bool readI64(int64_t& value) {
    uint32_t low = 0;
    uint32_t high = 0;
    if (!readU32(low) || !readU32(high)) {
        return false;
    }
    value = static_cast<int64_t>(static_cast<uint64_t>(low) | (static_cast<uint64_t>(high) << 32));
    return true;
}

bool readString(std::string& value) {
    uint32_t size = 0;
    if (!readU32(size) || size > (1u << 20)) {
        return false;
    }
    value.resize(size);
    return size == 0 || readExact(value.data(), size);
}

FaultSwitch::FaultSwitch(const char* variable) {
    const char* text = getenv(variable);
    if (text != nullptr) {
        m_fault = text;
    }
}

std::string FaultSwitch::after(const char* prefix) const {
    const std::string start(prefix);
    return m_fault.rfind(start, 0) == 0 ? m_fault.substr(start.size()) : std::string();
}

void FaultSwitch::actOnOpen() const {
    if (is("crash-open")) {
        crashNow();
    }
    while (is("hang-open")) {
        pause();
    }
}

void crashNow() {
    raise(SIGSEGV);
    _exit(139);
}

void noteStart(const char* helperName) {
    const char* log = getenv("KORVANE_READER_START_LOG");
    if (log == nullptr) {
        return;
    }
    const int fd = open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return;
    }
    const std::string line = std::string(helperName) + "\n";
    // One write with O_APPEND: lines of helpers started together never mix.
    [[maybe_unused]] const ssize_t written = write(fd, line.data(), line.size());
    close(fd);
}

}  // namespace korvane::helperpipe
