// korvane-xls-reader: the only process of the program that reads workbook files. A damaged
// workbook that makes the reader crash or loop ends this helper, never the viewer, which notices
// the death or the silence and reports it.
//
// Requests arrive on stdin, replies leave on a copy of the original stdout; fd 1 itself is
// pointed at /dev/null so that nothing a library prints can mix into the replies.

#include <QFile>
#include <memory>
#include <string>

#include "platform/process/HelperPipe.h"
#include "platform/xls/Spreadsheet.h"
#include "platform/xls/XlsProtocol.h"
#include "platform/xls/XlsReplies.h"

namespace {

using namespace korvane;
using namespace korvane::helperpipe;

// A cells reply begins with the last row covered (i64) and the entry count (u32).
constexpr size_t kCellsHead = 8 + 4;

// Tests make the helper fail on purpose (see HelperPipe.h): KORVANE_XLS_READER_FAULT =
// "crash-open", "hang-open", "crash-cells" (die on the first cells request) or "garble-cells"
// (answer it with a frame that makes no sense).
const FaultSwitch& faultSwitch() {
    static const FaultSwitch fault("KORVANE_XLS_READER_FAULT");
    return fault;
}

bool sendError(const QString& description) {
    return helperpipe::sendError(xlsproto::kError, xls::encodeText(description));
}

using Workbook = std::unique_ptr<xls::SpreadsheetWorkbook>;

bool openWorkbook(Workbook& workbook, const std::string& path) {
    faultSwitch().actOnOpen();
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
    if (faultSwitch().is("crash-cells")) {
        crashNow();
    }
    if (faultSwitch().is("garble-cells")) {
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
    if (!helperpipe::takeOverStdout()) {
        return 4;
    }
    helperpipe::noteStart("korvane-xls-reader");
    return serve();
}
