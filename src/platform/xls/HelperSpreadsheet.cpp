#include "platform/xls/HelperSpreadsheet.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <vector>

#include "platform/process/ReaderProcess.h"
#include "platform/xls/XlsFault.h"
#include "platform/xls/XlsModel.h"
#include "platform/xls/XlsProtocol.h"
#include "platform/xls/XlsReplies.h"

namespace korvane::xls {

namespace {

const QString kReaderName = QStringLiteral("korvane-xls-reader");

// A band starts this many rows tall and doubles while the rows are read in order, up to the
// largest band; a band never holds more than kMaxBandCells places.
constexpr int64_t kFirstBandRows = 256;
constexpr int64_t kLargestBandRows = 4096;
constexpr int64_t kMaxBandCells = 256 * 1024;

struct CachedCell {
    QString text;
    std::optional<Failure> failure;
};

// What was fetched of one sheet: a rectangle of places, and the cells in it that are not empty.
// The rectangle is at most kMaxBandCells places, so each place has a slot: no hashing per cell.
struct SheetBand {
    CellRectangle covered{0, -1, 0, -1};  // nothing yet
    int64_t nextRows = kFirstBandRows;
    int64_t columnLow = 0;  // every column asked so far lies within [columnLow, columnHigh]
    int64_t columnHigh = -1;
    std::vector<int32_t> placeCells;  // per place of `covered`, row by row: index into cells, or -1
    std::vector<CachedCell> cells;

    bool holds(int64_t row, int64_t column) const {
        return row >= covered.firstRow && row <= covered.lastRow && column >= covered.firstColumn &&
               column <= covered.lastColumn;
    }
    size_t slotOf(int64_t row, int64_t column) const {
        const int64_t width = covered.lastColumn - covered.firstColumn + 1;
        return static_cast<size_t>((row - covered.firstRow) * width +
                                   (column - covered.firstColumn));
    }
    const CachedCell* find(int64_t row, int64_t column) const {
        const int32_t index = placeCells[slotOf(row, column)];
        return index < 0 ? nullptr : &cells[static_cast<size_t>(index)];
    }
    void fill(const CellRectangle& rectangle, std::vector<BandEntry>& entries) {
        covered = rectangle;
        const int64_t rows = covered.lastRow - covered.firstRow + 1;
        const int64_t width = covered.lastColumn - covered.firstColumn + 1;
        placeCells.assign(static_cast<size_t>(std::max<int64_t>(0, rows * width)), -1);
        cells.clear();
        cells.reserve(entries.size());
        for (BandEntry& entry : entries) {
            if (holds(entry.row, entry.column)) {
                placeCells[slotOf(entry.row, entry.column)] = static_cast<int32_t>(cells.size());
                cells.push_back(CachedCell{std::move(entry.text), std::move(entry.failure)});
            }
        }
    }
};

class HelperWorkbook : public SpreadsheetWorkbook {
public:
    explicit HelperWorkbook(QString windowName)
        : m_reader(kReaderName, workbookReaderTexts(), QByteArray(1, xlsproto::kQuit)),
          m_windowName(std::move(windowName)) {}

    Status open(const QString& path) {
        if (Status started = m_reader.start(); !started) {
            return started;
        }
        if (!m_reader.send(openRequest(path))) {
            return m_reader.sendFailure();
        }
        const Result<ReaderProcess::Frame> frame = m_reader.readFrame();
        if (!frame) {
            return frame.takeFailure();
        }
        if (frame->kind == xlsproto::kError) {
            std::optional<Failure> failure = decodeErrorReply(frame->payload);
            if (!failure) {
                return m_reader.rejectReply();
            }
            m_reader.stop();
            return std::move(*failure);
        }
        std::optional<QStringList> names =
            frame->kind == xlsproto::kWorkbook ? decodeWorkbookReply(frame->payload) : std::nullopt;
        if (!names) {
            return m_reader.rejectReply();
        }
        m_sheets = std::move(*names);
        m_open = true;
        return Done{};
    }

    void setVisible(bool) override {}
    void setDisplayAlerts(bool) override {}

    void quit() override {
        m_open = false;
        m_bands.clear();
        m_pending.reset();
        m_reader.stop();
    }

    Status showWindow(const QString& name) override {
        if (!m_open) {
            return Failure{XlsFault::Released};
        }
        if (name.compare(m_windowName, Qt::CaseInsensitive) != 0) {
            return Failure{XlsFault::NoWindow, {name}};
        }
        return Done{};
    }

    int sheetCount() const override { return m_open ? static_cast<int>(m_sheets.size()) : 0; }

    Result<QString> sheetName(int index) const override {
        if (!m_open) {
            return Failure{XlsFault::Released};
        }
        if (index < 1 || index > m_sheets.size()) {
            return Failure{XlsFault::NoSheetNumber, {QString::number(index)}};
        }
        return m_sheets.at(index - 1);
    }

    Result<QString> cellText(const QString& sheet, int64_t row, int64_t column) override {
        if (!m_open) {
            return Failure{XlsFault::Released};
        }
        const bool onSheet = row >= 1 && row <= kMaxRows && column >= 1 && column <= kMaxColumns;
        if (!onSheet) {
            // Not a worksheet place: ask for it alone, for the reader's own words on it.
            return fetchOne(sheet, row, column);
        }
        SheetBand& band = m_bands[sheet];
        if (!band.holds(row, column)) {
            if (Status fetched = fetchBand(sheet, band, row, column); !fetched) {
                return fetched.takeFailure();
            }
        }
        const CachedCell* found = band.find(row, column);
        if (found == nullptr) {
            return QString();
        }
        if (found->failure) {
            return *found->failure;
        }
        return found->text;
    }

private:
    // A cells request sent ahead while the viewer works through the band before it, so the
    // helper reads the next rows while the viewer shows the last ones.
    struct Pending {
        QString sheet;
        CellRectangle asked;
    };

    bool sendRequest(const QString& sheet, const CellRectangle& asked) {
        return m_reader.send(cellsRequest(sheet, asked));
    }

    // The reply to the cells request sent last.
    Result<CellBand> receive(const CellRectangle& asked) {
        const Result<ReaderProcess::Frame> frame = m_reader.readFrame();
        if (!frame) {
            return frame.takeFailure();
        }
        if (frame->kind == xlsproto::kError) {
            if (std::optional<Failure> failure = decodeErrorReply(frame->payload)) {
                return std::move(*failure);
            }
        } else if (frame->kind == xlsproto::kCellsReply) {
            if (std::optional<CellBand> band = decodeCellsReply(frame->payload, asked)) {
                return std::move(*band);
            }
        }
        return m_reader.rejectReply();
    }

    // One cells request and its reply.
    Result<CellBand> request(const QString& sheet, const CellRectangle& asked) {
        if (Status drained = drainPending(); !drained) {
            return drained.takeFailure();
        }
        if (!sendRequest(sheet, asked)) {
            return m_reader.sendFailure();
        }
        return receive(asked);
    }

    // Reads and drops the reply to a request sent ahead that turned out not to be needed.
    Status drainPending() {
        if (!m_pending) {
            return Done{};
        }
        const CellRectangle asked = m_pending->asked;
        m_pending.reset();
        const Result<CellBand> dropped = receive(asked);
        // A failure of the rectangle alone is no failure of the helper; its death is.
        if (!dropped && !m_reader.running()) {
            return dropped.takeFailure();
        }
        return Done{};
    }

    Result<QString> fetchOne(const QString& sheet, int64_t row, int64_t column) {
        Result<CellBand> band = request(sheet, CellRectangle{row, row, column, column});
        if (!band) {
            return band.takeFailure();
        }
        for (const BandEntry& entry : band->entries) {
            if (entry.row == row && entry.column == column) {
                return entry.failure ? Result<QString>(*entry.failure)
                                     : Result<QString>(entry.text);
            }
        }
        return QString();
    }

    CellRectangle bandFrom(int64_t row, const SheetBand& band) const {
        const int64_t columns = band.columnHigh - band.columnLow + 1;
        const int64_t rows = std::max<int64_t>(1, std::min(band.nextRows, kMaxBandCells / columns));
        return CellRectangle{row, std::min(kMaxRows, row + rows - 1), band.columnLow,
                             band.columnHigh};
    }

    Status fetchBand(const QString& sheet, SheetBand& band, int64_t row, int64_t column) {
        const bool sameColumns = column >= band.columnLow && column <= band.columnHigh;
        if (band.columnHigh < band.columnLow) {
            band.columnLow = band.columnHigh = column;
        } else {
            band.columnLow = std::min(band.columnLow, column);
            band.columnHigh = std::max(band.columnHigh, column);
        }
        // Reading on past the band in order: the next band may be taller, and worth asking for
        // ahead of time.
        const bool inOrder = sameColumns && row == band.covered.lastRow + 1;
        if (inOrder) {
            band.nextRows = std::min(band.nextRows * 2, kLargestBandRows);
        }
        CellRectangle asked = bandFrom(row, band);
        const bool sentAhead = m_pending && m_pending->sheet == sheet &&
                               m_pending->asked.firstRow == row &&
                               m_pending->asked.firstColumn == band.columnLow &&
                               m_pending->asked.lastColumn == band.columnHigh;
        if (sentAhead) {
            asked = m_pending->asked;
            m_pending.reset();
        }
        Result<CellBand> fetched = sentAhead ? receive(asked) : request(sheet, asked);
        if (!fetched) {
            return fetched.takeFailure();
        }
        CellRectangle covered = asked;
        covered.lastRow = fetched->lastRowCovered;
        band.fill(covered, fetched.value().entries);
        if (inOrder && !m_pending && band.covered.lastRow < kMaxRows) {
            const CellRectangle next = bandFrom(band.covered.lastRow + 1, band);
            if (sendRequest(sheet, next)) {
                m_pending = Pending{sheet, next};
            }
        }
        return Done{};
    }

    ReaderProcess m_reader;
    QString m_windowName;
    QStringList m_sheets;
    bool m_open = false;
    QHash<QString, SheetBand> m_bands;
    std::optional<Pending> m_pending;
};

}  // namespace

Result<std::unique_ptr<SpreadsheetWorkbook>> openInHelper(const QString& path) {
    // The workbook's window bears the file's own name, extension included.
    auto workbook = std::make_unique<HelperWorkbook>(QFileInfo(path).fileName());
    if (Status opened = workbook->open(path); !opened) {
        return opened.takeFailure();
    }
    return std::unique_ptr<SpreadsheetWorkbook>(std::move(workbook));
}

}  // namespace korvane::xls
