// korvane-xls-reader: the only process of the program that reads workbook files. A damaged
// workbook that makes the reader crash or loop ends this helper, never the viewer, which notices
// the death or the silence and reports it.
//
// Requests arrive on stdin, replies leave on a copy of the original stdout; fd 1 itself is
// pointed at /dev/null so that nothing a library prints can mix into the replies.

#include <QFile>
#include <algorithm>
#include <memory>
#include <string>

#include "platform/process/HelperPipe.h"
#include "platform/xls/XlsFault.h"
#include "platform/xls/XlsModel.h"
#include "platform/xls/XlsProtocol.h"
#include "platform/xls/XlsReplies.h"
#include "platform/xls/XlsWorkbook.h"

namespace {

using namespace korvane;
using namespace korvane::helperpipe;
using korvane::xls::XlsFault;

// A cells reply begins with the last row covered (i64) and the entry count (u32).
constexpr size_t kCellsHead = 8 + 4;

// Tests make the helper fail on purpose (see HelperPipe.h): KORVANE_XLS_READER_FAULT =
// "crash-open", "hang-open", "crash-cells" (die on the first cells request) or "garble-cells"
// (answer it with a frame that makes no sense).
const FaultSwitch& faultSwitch() {
    static const FaultSwitch fault("KORVANE_XLS_READER_FAULT");
    return fault;
}

// The failure as its cause and details; the viewer makes the words.
bool sendError(const Failure& failure) {
    std::string payload;
    xls::putFailure(payload, failure);
    return sendFrame(xlsproto::kError, payload);
}

using Workbook = std::unique_ptr<xls::XlsWorkbook>;

bool openWorkbook(Workbook& workbook, const std::string& path) {
    faultSwitch().actOnOpen();
    workbook.reset();
    xls::Result<Workbook> opened = xls::XlsWorkbook::open(QFile::decodeName(path.c_str()));
    if (!opened) {
        return sendError(opened.failure());
    }
    workbook = std::move(opened).value();
    std::string payload;
    frameproto::putU32(payload, static_cast<uint32_t>(workbook->sheetCount()));
    for (int i = 0; i < workbook->sheetCount(); ++i) {
        xls::putText(payload, workbook->sheet(i).name);
    }
    return sendFrame(xlsproto::kWorkbook, payload);
}

// One entry of a cells reply; an empty text needs none.
void putEntry(std::string& frame, uint32_t& count, int64_t row, int64_t column,
              const xls::Result<QString>& text) {
    if (text && text.value().isEmpty()) {
        return;
    }
    xlsproto::putI64(frame, row);
    xlsproto::putI64(frame, column);
    if (text) {
        frame.push_back(static_cast<char>(xlsproto::kCellText));
        xls::putText(frame, text.value());
    } else {
        frame.push_back(static_cast<char>(xlsproto::kCellFailure));
        xls::putFailure(frame, text.failure());
    }
    ++count;
}

// The places of a worksheet row that hold cells, found in the sheet's sorted cell list, so the
// empty places cost nothing.
void putStoredCells(std::string& frame, uint32_t& count, const xls::XlsWorkbook& workbook,
                    const xls::SheetCells& cells, int64_t row, const xls::CellRectangle& asked) {
    const auto row0 = static_cast<uint32_t>(row - 1);
    const uint32_t first = xls::cellKey(row0, static_cast<uint32_t>(asked.firstColumn - 1));
    const uint32_t last = xls::cellKey(row0, static_cast<uint32_t>(asked.lastColumn - 1));
    auto it = std::lower_bound(cells.cells.begin(), cells.cells.end(), first,
                               [](const xls::Cell& cell, uint32_t key) { return cell.key < key; });
    for (; it != cells.cells.end() && it->key <= last; ++it) {
        const int64_t column = it->key % 256 + 1;
        putEntry(frame, count, row, column,
                 xls::cellValueText(&*it, cells, workbook.globals(), row, column));
    }
}

// Every cell of the rectangle that is not empty, row by row; rows stop being added once the
// reply has grown past its soft limit.
bool sendCells(xls::XlsWorkbook* workbook, const QString& sheet, const xls::CellRectangle& asked) {
    if (faultSwitch().is("crash-cells")) {
        crashNow();
    }
    if (faultSwitch().is("garble-cells")) {
        return sendFrame(xlsproto::kCellsReply, std::string(3, '\x7F'));
    }
    if (workbook == nullptr) {
        return sendError(Failure{XlsFault::HelperNoWorkbook});
    }
    if (asked.firstRow > asked.lastRow || asked.firstColumn > asked.lastColumn) {
        return sendError(Failure{XlsFault::HelperBadRange});
    }
    // A rectangle of a worksheet is read from its stored cells; anything else (a chart sheet, a
    // place off the sheet, a sheet that cannot be read) place by place, for the reason of each.
    const std::optional<int> index = workbook->findSheet(sheet);
    const bool onSheet = asked.firstRow >= 1 && asked.lastRow <= xls::kMaxRows &&
                         asked.firstColumn >= 1 && asked.lastColumn <= xls::kMaxColumns;
    const xls::SheetCells* cells = index && onSheet ? workbook->sheetCells(*index) : nullptr;
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
        if (cells != nullptr) {
            putStoredCells(frame, count, *workbook, *cells, row, asked);
            continue;
        }
        for (int64_t column = asked.firstColumn; column <= asked.lastColumn; ++column) {
            putEntry(frame, count, row, column, workbook->cellText(sheet, row, column));
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
