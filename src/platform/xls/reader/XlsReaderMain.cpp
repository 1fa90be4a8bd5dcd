// korvane-xls-reader: the only process of the program that reads workbook files. A damaged
// workbook that makes the reader crash or loop ends this helper, never the viewer, which notices
// the death or the silence and reports it.
//
// Requests arrive on stdin, replies leave on a copy of the original stdout; fd 1 itself is
// pointed at /dev/null so that nothing a library prints can mix into the replies.

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/xls/Spreadsheet.h"
#include "platform/xls/XlsProtocol.h"
#include "platform/xls/XlsReplies.h"

namespace {

using namespace korvane;

int g_out = -1;

// A cells reply begins with the last row covered (i64) and the entry count (u32).
constexpr size_t kCellsHead = 8 + 4;

// Tests make the helper fail on purpose, to see that its death, silence or garbage reaches the
// user as a message: KORVANE_XLS_READER_FAULT = "crash-open", "hang-open", "crash-cells" (die
// on the first cells request) or "garble-cells" (answer it with a frame that makes no sense).
struct Fault {
    bool crashOpen = false;
    bool hangOpen = false;
    bool crashCells = false;
    bool garbleCells = false;
};
Fault g_fault;

void readFault() {
    const char* text = getenv("KORVANE_XLS_READER_FAULT");
    if (text == nullptr) {
        return;
    }
    const std::string fault(text);
    g_fault.crashOpen = fault == "crash-open";
    g_fault.hangOpen = fault == "hang-open";
    g_fault.crashCells = fault == "crash-cells";
    g_fault.garbleCells = fault == "garble-cells";
}

[[noreturn]] void crashNow() {
    raise(SIGSEGV);
    _exit(139);
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

bool sendError(const QString& description) {
    std::string payload;
    xls::putText(payload, description);
    return sendFrame(xlsproto::kError, payload);
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

using Workbook = std::unique_ptr<xls::SpreadsheetWorkbook>;

bool openWorkbook(Workbook& workbook, const std::string& path) {
    if (g_fault.crashOpen) {
        crashNow();
    }
    while (g_fault.hangOpen) {
        pause();
    }
    workbook.reset();
    xls::Result<Workbook> opened = xls::openInProcess(QFile::decodeName(path.c_str()));
    if (!opened) {
        return sendError(opened.failure());
    }
    workbook = std::move(opened).value();
    std::string payload;
    frameproto::putU32(payload, static_cast<uint32_t>(workbook->sheetCount()));
    for (int i = 1; i <= workbook->sheetCount(); ++i) {
        const xls::Result<QString> name = workbook->sheetName(i);
        xls::putText(payload, name ? name.value() : QString());
    }
    return sendFrame(xlsproto::kWorkbook, payload);
}

// Every cell of the rectangle that is not empty, row by row; rows stop being added once the
// reply has grown past its soft limit.
bool sendCells(xls::SpreadsheetWorkbook* workbook, const QString& sheet,
               const xls::CellRectangle& asked) {
    if (g_fault.crashCells) {
        crashNow();
    }
    if (g_fault.garbleCells) {
        return sendFrame(xlsproto::kCellsReply, std::string(3, '\x7F'));
    }
    if (workbook == nullptr) {
        return sendError(QStringLiteral("ブックが開かれていません。"));
    }
    if (asked.firstRow > asked.lastRow || asked.firstColumn > asked.lastColumn) {
        return sendError(QStringLiteral("読み取る範囲が正しくありません。"));
    }
    // The frame is built in place: its header and the reply's own head are filled in last.
    std::string frame(frameproto::kFrameHeader + kCellsHead, '\0');
    const size_t payloadStart = frameproto::kFrameHeader;
    uint32_t count = 0;
    int64_t lastRow = asked.firstRow;
    for (int64_t row = asked.firstRow; row <= asked.lastRow; ++row) {
        if (row > asked.firstRow && frame.size() > xlsproto::kCellsReplySoftLimit) {
            break;
        }
        lastRow = row;
        for (int64_t column = asked.firstColumn; column <= asked.lastColumn; ++column) {
            const xls::Result<QString> text = workbook->cellText(sheet, row, column);
            if (text && text.value().isEmpty()) {
                continue;
            }
            xlsproto::putI64(frame, row);
            xlsproto::putI64(frame, column);
            frame.push_back(static_cast<char>(text ? xlsproto::kCellText : xlsproto::kCellFailure));
            xls::putText(frame, text ? text.value() : text.failure());
            ++count;
        }
    }
    std::string head;
    head.push_back(xlsproto::kCellsReply);
    frameproto::putU32(head, static_cast<uint32_t>(frame.size() - payloadStart));
    xlsproto::putI64(head, lastRow);
    frameproto::putU32(head, count);
    frame.replace(0, head.size(), head);
    return writeAll(frame);
}

int serve() {
    Workbook workbook;
    for (;;) {
        char opcode = 0;
        if (!readExact(&opcode, 1)) {
            return 0;  // the viewer has gone
        }
        bool ok = true;
        switch (opcode) {
            case xlsproto::kOpenWorkbook: {
                std::string path;
                if (!readString(path)) {
                    return 2;
                }
                ok = openWorkbook(workbook, path);
                break;
            }
            case xlsproto::kCells: {
                std::string sheetBytes;
                xls::CellRectangle asked;
                if (!readString(sheetBytes) || !readI64(asked.firstRow) ||
                    !readI64(asked.lastRow) || !readI64(asked.firstColumn) ||
                    !readI64(asked.lastColumn)) {
                    return 2;
                }
                const std::optional<QString> sheet =
                    xls::decodeText(sheetBytes.data(), sheetBytes.size());
                if (!sheet) {
                    return 2;
                }
                ok = sendCells(workbook.get(), *sheet, asked);
                break;
            }
            case xlsproto::kQuit:
                return 0;
            default:
                return 2;
        }
        if (!ok) {
            return 3;
        }
    }
}

}  // namespace

int main() {
    g_out = dup(1);
    const int devNull = open("/dev/null", O_WRONLY);
    if (g_out < 0 || devNull < 0 || dup2(devNull, 1) < 0) {
        return 4;
    }
    close(devNull);
    readFault();
    return serve();
}
