#include "platform/mdb/reader/TableScan.h"

#include <set>
#include <vector>

#include "platform/mdb/MdbProtocol.h"
#include "platform/mdb/reader/CatalogueRead.h"

namespace korvane::mdbreader {

namespace {

constexpr int kOffsetMask = 0x1FFF;
constexpr int kDeletedRow = 0x8000;
constexpr int kOverflowRow = 0x4000;
constexpr int kLongValueHeader = 12;

uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int le16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}

}  // namespace

bool findRowInPage(const unsigned char* page, int pageSize, int rowCountOffset, int row, int* start,
                   int* size, int* flags) {
    if (rowCountOffset + 2 > pageSize) {
        return false;
    }
    const int rows = le16(page + rowCountOffset);
    if (row < 0 || row >= rows || rowCountOffset + 2 + (row + 1) * 2 > pageSize) {
        return false;
    }
    const int raw = le16(page + rowCountOffset + 2 + row * 2);
    // Rows are stored from the end of the page backwards: a row ends where the one before it
    // starts.
    const int end = row == 0 ? pageSize : (le16(page + rowCountOffset + row * 2) & kOffsetMask);
    const int begin = raw & kOffsetMask;
    if (begin >= pageSize || begin > end || end > pageSize) {
        return false;
    }
    *start = begin;
    *size = end - begin;
    *flags = raw & (kDeletedRow | kOverflowRow);
    return true;
}

TableScan::TableScan(MdbHandle* mdb, MdbCatalogEntry* entry, uint64_t filePages)
    : m_mdb(mdb), m_entry(entry), m_filePages(filePages) {}

TableScan::~TableScan() {
    if (m_table != nullptr) {
        mdb_free_tabledef(m_table);
    }
}

bool TableScan::open(MdbFault& fault) {
    m_table = mdb_read_table(m_entry);
    if (m_table == nullptr) {
        fault = MdbFault::CannotReadTableDefinition;
        return false;
    }
    if (m_table->num_cols > MDB_MAX_COLS || mdb_read_columns(m_table) == nullptr ||
        m_table->columns == nullptr || m_table->columns->len != m_table->num_cols) {
        fault = MdbFault::CannotReadColumnDefinitions;
        return false;
    }
    mdb_rewind_table(m_table);
    return true;
}

std::string TableScan::header() const {
    std::string out;
    mdbproto::putU32(out, m_table->num_rows);
    mdbproto::putU32(out, m_table->num_cols);
    for (unsigned i = 0; i < m_table->num_cols; ++i) {
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(m_table->columns, i));
        mdbproto::putString(out, storedName(m_mdb, column->name, sizeof column->name));
        out.push_back(static_cast<char>(column->col_type));
        mdbproto::putU32(out, static_cast<uint32_t>(column->col_size));
        // libmdb 1.0 reads a Decimal column's precision into col_scale and its scale into
        // col_prec (Decimal(18,4) comes back as scale 18): send them the right way round.
        out.push_back(static_cast<char>(column->col_prec));
        out.push_back(static_cast<char>(column->col_scale));
    }
    return out;
}

bool TableScan::loadNextPage() {
    // A page chain that visits more pages than the file has is a loop in a damaged file.
    if (++m_pagesVisited > m_filePages + 1) {
        return false;
    }
    if (!mdb_read_next_dpg(m_table)) {
        return false;
    }
    m_rowOnPage = 0;
    m_pageLoaded = true;
    return true;
}

TableScan::Step TableScan::next(std::string& payload, MdbFault& fault) {
    if (m_done || m_table->num_rows == 0) {
        return Step::End;
    }
    for (;;) {
        if (!m_pageLoaded) {
            if (m_pagesVisited > m_filePages) {
                fault = MdbFault::BrokenPageChain;
                return Step::Error;
            }
            if (!loadNextPage()) {
                if (m_pagesVisited > m_filePages + 1) {
                    fault = MdbFault::BrokenPageChain;
                    return Step::Error;
                }
                m_done = true;
                return Step::End;
            }
        }
        const int pageSize = static_cast<int>(m_mdb->fmt->pg_size);
        const int rco = m_mdb->fmt->row_count_offset;
        const int rows = rco + 2 <= pageSize ? le16(m_mdb->pg_buf + rco) : 0;
        if (m_rowOnPage >= rows) {
            m_pageLoaded = false;
            continue;
        }
        const int row = m_rowOnPage++;
        const Step step = rowAt(row, payload, fault);
        if (step != Step::End) {
            return step;
        }
        // End here means "no row in this slot" (deleted or empty): go on.
    }
}

TableScan::Step TableScan::rowAt(int row, std::string& payload, MdbFault& fault) {
    const int pageSize = static_cast<int>(m_mdb->fmt->pg_size);
    const int rco = m_mdb->fmt->row_count_offset;
    int start = 0;
    int size = 0;
    int flags = 0;
    if (!findRowInPage(m_mdb->pg_buf, pageSize, rco, row, &start, &size, &flags) || size == 0 ||
        (flags & kDeletedRow) != 0) {
        return Step::End;
    }
    if ((flags & kOverflowRow) == 0) {
        return appendRow(start, size, payload, fault) ? Step::Row : Step::Error;
    }
    // The row moved to another page; its slot here holds the row number and page of the new
    // place. Crack it there, then come back to this page. The moved row itself is marked
    // deleted, so that a scan of its page does not show it twice.
    if (size < 4) {
        return Step::End;
    }
    const uint32_t pointer = le32(m_mdb->pg_buf + start);
    const uint32_t here = m_table->cur_phys_pg;
    bool ok = false;
    if (mdb_read_pg(m_mdb, pointer >> 8) == pageSize) {
        int oStart = 0;
        int oSize = 0;
        int oFlags = 0;
        if (findRowInPage(m_mdb->pg_buf, pageSize, rco, static_cast<int>(pointer & 0xFF), &oStart,
                          &oSize, &oFlags) &&
            oSize > 0 && (oFlags & kOverflowRow) == 0) {
            ok = appendRow(oStart, oSize, payload, fault);
        } else {
            fault = MdbFault::MovedRowNotFound;
        }
    } else {
        fault = MdbFault::CannotReadMovedRowPage;
    }
    if (mdb_read_pg(m_mdb, here) != pageSize) {
        fault = MdbFault::CannotReadTablePage;
        return Step::Error;
    }
    return ok ? Step::Row : Step::Error;
}

bool TableScan::appendRow(int start, int size, std::string& payload, MdbFault& fault) {
    std::vector<MdbField>& fields = m_fields;
    if (fields.empty()) {
        fields.resize(MDB_MAX_COLS + 1);
    }
    const int count = mdb_crack_row(m_table, start, static_cast<size_t>(size), fields.data());
    if (count < static_cast<int>(m_table->num_cols)) {
        fault = MdbFault::BrokenRow;
        return false;
    }
    for (unsigned i = 0; i < m_table->num_cols; ++i) {
        const int columnIndex = fields[i].colnum;
        if (columnIndex < 0 || static_cast<unsigned>(columnIndex) >= m_table->num_cols) {
            fault = MdbFault::BrokenColumnOrder;
            return false;
        }
        (void)columnIndex;
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(m_table->columns, i));
        if (!appendValue(*column, fields[i], payload, fault)) {
            return false;
        }
    }
    return true;
}

bool TableScan::appendValue(const MdbColumn& column, const MdbField& field, std::string& payload,
                            MdbFault& fault) {
    const int pageSize = static_cast<int>(m_mdb->fmt->pg_size);
    if (column.col_type == MDB_BOOL) {
        // A Yes/No value lives in the null mask: a set bit (reported as "not null") is Yes.
        payload.push_back(1);
        const char value = field.is_null ? 0 : 1;
        mdbproto::putString(payload, &value, 1);
        return true;
    }
    if (field.is_null) {
        payload.push_back(0);
        return true;
    }
    const auto* data = static_cast<const unsigned char*>(field.value);
    const int size = field.siz;
    if (size < 0 || data < m_mdb->pg_buf || data + size > m_mdb->pg_buf + pageSize) {
        fault = MdbFault::BrokenValue;
        return false;
    }
    payload.push_back(1);
    if (column.col_type == MDB_MEMO || column.col_type == MDB_OLE) {
        std::string whole;
        if (!readLongValue(data, size, whole, fault)) {
            return false;
        }
        mdbproto::putString(payload, whole);
        return true;
    }
    mdbproto::putString(payload, reinterpret_cast<const char*>(data), static_cast<size_t>(size));
    return true;
}

bool TableScan::readLongValueRow(uint32_t pageRow, const unsigned char** data, int* size) {
    const int pageSize = static_cast<int>(m_mdb->fmt->pg_size);
    if (mdb_read_alt_pg(m_mdb, pageRow >> 8) != pageSize) {
        return false;
    }
    int start = 0;
    int flags = 0;
    if (!findRowInPage(m_mdb->alt_pg_buf, pageSize, m_mdb->fmt->row_count_offset,
                       static_cast<int>(pageRow & 0xFF), &start, size, &flags)) {
        return false;
    }
    *data = m_mdb->alt_pg_buf + start;
    return true;
}

bool TableScan::readLongValue(const unsigned char* field, int size, std::string& out,
                              MdbFault& fault) {
    fault = MdbFault::BrokenLongValue;
    if (size < kLongValueHeader) {
        return false;
    }
    unsigned char head[kLongValueHeader];
    memcpy(head, field, kLongValueHeader);
    const uint32_t length = le32(head) & 0x00FFFFFF;
    const unsigned kind = head[3];
    uint32_t pageRow = le32(head + 4);
    out.clear();
    if (kind & 0x80) {
        // Stored in the row itself, right after the header.
        if (static_cast<uint32_t>(size - kLongValueHeader) < length) {
            return false;
        }
        out.assign(reinterpret_cast<const char*>(field + kLongValueHeader), length);
    } else if (kind & 0x40) {
        // One row on another page.
        const unsigned char* data = nullptr;
        int rowSize = 0;
        if (!readLongValueRow(pageRow, &data, &rowSize) ||
            static_cast<uint32_t>(rowSize) < length) {
            return false;
        }
        out.assign(reinterpret_cast<const char*>(data), length);
    } else if (kind == 0) {
        // A chain of rows on other pages; each begins with the place of the next one.
        std::set<uint32_t> visited;
        while (out.size() < length) {
            if (pageRow == 0 || !visited.insert(pageRow).second) {
                return false;
            }
            const unsigned char* data = nullptr;
            int rowSize = 0;
            if (!readLongValueRow(pageRow, &data, &rowSize) || rowSize < 4) {
                return false;
            }
            pageRow = le32(data);
            const size_t take =
                std::min<size_t>(static_cast<size_t>(rowSize - 4), length - out.size());
            out.append(reinterpret_cast<const char*>(data + 4), take);
        }
    } else {
        return false;
    }
    return true;
}

}  // namespace korvane::mdbreader
