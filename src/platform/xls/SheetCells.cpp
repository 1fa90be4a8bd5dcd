#include <algorithm>
#include <cstring>

#include "platform/xls/BiffRecords.h"
#include "platform/xls/BiffStrings.h"
#include "platform/xls/XlsFault.h"
#include "platform/xls/XlsModel.h"

namespace korvane::xls {

namespace {

// An RK value: a 30-bit integer or the top 30 bits of a double, optionally divided by 100.
double rkValue(uint32_t rk) {
    double value = 0.0;
    if ((rk & 0x02) != 0) {
        value = static_cast<double>(static_cast<int32_t>(rk) >> 2);
    } else {
        const uint64_t bits = static_cast<uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) != 0 ? value / 100.0 : value;
}

class SheetBuilder {
public:
    explicit SheetBuilder(int64_t maxRows) : m_maxRows(maxRows) {}

    // Cells at places a worksheet cannot have are left out.
    Cell* add(uint32_t row, uint32_t column, uint16_t xf, CellKind kind) {
        if (row >= m_maxRows || column >= kMaxColumns) {
            return nullptr;
        }
        Cell cell;
        cell.key = cellKey(row, column);
        cell.kind = kind;
        cell.xf = xf;
        m_sheet.cells.push_back(cell);
        return &m_sheet.cells.back();
    }
    void addNumber(uint32_t row, uint32_t column, uint16_t xf, double value) {
        if (Cell* cell = add(row, column, xf, CellKind::Number)) {
            cell->number = value;
        }
    }
    bool addText(uint32_t row, uint32_t column, uint16_t xf, QString text) {
        Cell* cell = add(row, column, xf, CellKind::Text);
        if (cell == nullptr) {
            return false;
        }
        cell->index = static_cast<uint32_t>(m_sheet.texts.size());
        m_sheet.texts.push_back(std::move(text));
        return true;
    }
    // A FORMULA's string result comes in the STRING record that follows it.
    void setPendingText(QString text) {
        if (m_pendingString) {
            m_sheet.cells[*m_pendingString].index = static_cast<uint32_t>(m_sheet.texts.size());
            m_sheet.texts.push_back(std::move(text));
        }
        m_pendingString.reset();
    }
    // The text cell added last waits for its STRING record.
    void markPendingString() { m_pendingString = m_sheet.cells.size() - 1; }
    void clearPendingString() { m_pendingString.reset(); }

    SheetCells finish() {
        // One cell per place; when a damaged file repeats a place, the last record wins.
        std::stable_sort(m_sheet.cells.begin(), m_sheet.cells.end(),
                         [](const Cell& a, const Cell& b) { return a.key < b.key; });
        std::vector<Cell> unique;
        unique.reserve(m_sheet.cells.size());
        for (const Cell& cell : m_sheet.cells) {
            if (!unique.empty() && unique.back().key == cell.key) {
                unique.back() = cell;
            } else {
                unique.push_back(cell);
            }
        }
        m_sheet.cells = std::move(unique);
        return std::move(m_sheet);
    }

private:
    int64_t m_maxRows;
    SheetCells m_sheet;
    std::optional<size_t> m_pendingString;
};

QString readCellText(const Record& record, ByteReader& reader, RecordCursor& cursor,
                     const WorkbookGlobals& globals) {
    if (globals.biffVersion == 8) {
        std::vector<Span> segments = withContinues(record, cursor);
        segments.front() = Span{reader.current(), reader.remaining()};
        ContinuedReader text(std::move(segments));
        QString value;
        readUnicodeString(text, CountWidth::Word, value);
        return value;
    }
    return readByteString(reader, CountWidth::Word, globals.decoder);
}

void readFormula(ByteReader& reader, uint32_t row, uint32_t column, uint16_t xf,
                 SheetBuilder& builder) {
    const uint8_t* result = reader.current();
    if (!reader.skip(8)) {
        return;
    }
    if (result[6] != 0xFF || result[7] != 0xFF) {
        ByteReader number(Span{result, 8});
        builder.addNumber(row, column, xf, number.f64());
        return;
    }
    switch (result[0]) {
        case 0:  // text, in the next STRING record
            if (builder.addText(row, column, xf, QString())) {
                builder.markPendingString();
            }
            break;
        case 1:
            if (Cell* cell = builder.add(row, column, xf, CellKind::Boolean)) {
                cell->code = result[2] != 0 ? 1 : 0;
            }
            break;
        case 2:
            if (Cell* cell = builder.add(row, column, xf, CellKind::Error)) {
                cell->code = result[2];
            }
            break;
        default:  // 3: the empty text
            builder.addText(row, column, xf, QString());
            break;
    }
}

// NUMBER, RK and MULRK: one number, or a run of them along the row.
void readNumbers(uint16_t type, ByteReader& reader, uint32_t row, uint32_t column,
                 SheetBuilder& builder) {
    if (type == kMulRk) {
        // xf and RK pairs for the columns from `column` on; the last column number closes the
        // record.
        const size_t pairs = reader.remaining() >= 2 ? (reader.remaining() - 2) / 6 : 0;
        for (size_t k = 0; k < pairs; ++k) {
            const uint16_t xf = reader.u16();
            const uint32_t rk = reader.u32();
            builder.addNumber(row, column + static_cast<uint32_t>(k), xf, rkValue(rk));
        }
        return;
    }
    const uint16_t xf = reader.u16();
    const double value = type == kRk ? rkValue(reader.u32()) : reader.f64();
    if (!reader.failed()) {
        builder.addNumber(row, column, xf, value);
    }
}

void readBoolErr(ByteReader& reader, uint32_t row, uint32_t column, SheetBuilder& builder) {
    const uint16_t xf = reader.u16();
    const uint8_t value = reader.u8();
    const uint8_t isError = reader.u8();
    if (reader.failed()) {
        return;
    }
    if (Cell* cell =
            builder.add(row, column, xf, isError != 0 ? CellKind::Error : CellKind::Boolean)) {
        cell->code = isError != 0 ? value : (value != 0 ? 1 : 0);
    }
}

// One record of the sheet's own substream (not of a chart embedded in it).
void readSheetRecord(const Record& record, RecordCursor& cursor, const WorkbookGlobals& globals,
                     SheetBuilder& builder) {
    ByteReader reader(record.data);
    if (record.type == kString) {
        builder.setPendingText(readCellText(record, reader, cursor, globals));
        return;
    }
    if (record.type == kContinue) {
        return;
    }
    const uint32_t row = reader.u16();
    const uint32_t column = reader.u16();
    if (reader.failed()) {
        return;
    }
    switch (record.type) {
        case kNumber:
        case kRk:
        case kMulRk:
            readNumbers(record.type, reader, row, column, builder);
            break;
        case kLabelSst: {
            const uint16_t xf = reader.u16();
            const uint32_t index = reader.u32();
            Cell* cell =
                reader.failed() ? nullptr : builder.add(row, column, xf, CellKind::SharedText);
            if (cell != nullptr) {
                cell->index = index;
            }
            break;
        }
        case kLabel:
        case kRString: {
            const uint16_t xf = reader.u16();
            if (!reader.failed()) {
                builder.addText(row, column, xf, readCellText(record, reader, cursor, globals));
            }
            break;
        }
        case kBoolErr:
            readBoolErr(reader, row, column, builder);
            break;
        case kFormula: {
            const uint16_t xf = reader.u16();
            builder.clearPendingString();
            readFormula(reader, row, column, xf, builder);
            break;
        }
        default:
            break;  // BLANK, MULBLANK and the rest: an empty cell needs no entry
    }
}

}  // namespace

const Cell* SheetCells::find(uint32_t key) const {
    const auto it = std::lower_bound(cells.begin(), cells.end(), key,
                                     [](const Cell& cell, uint32_t k) { return cell.key < k; });
    return it != cells.end() && it->key == key ? &*it : nullptr;
}

Result<SheetCells> parseSheet(const QByteArray& stream, const WorkbookGlobals& globals,
                              const SheetEntry& sheet) {
    RecordCursor cursor(stream, sheet.bofOffset);
    Record record;
    if (!cursor.next(record) || record.type != kBof) {
        return Failure{XlsFault::SheetDataMissing, {sheet.name}};
    }
    SheetBuilder builder(kMaxRows);
    int depth = 1;  // charts embedded in a worksheet come as nested BOF .. EOF substreams
    while (depth > 0 && cursor.next(record)) {
        if (record.type == kBof) {
            ++depth;
        } else if (record.type == kEof) {
            --depth;
        } else if (depth == 1) {
            readSheetRecord(record, cursor, globals, builder);
        }
    }
    return builder.finish();
}

}  // namespace korvane::xls
