#pragma once
// Reads one table of an open database row by row, straight from libmdb's row layout: each row is
// cracked into fields (null flag and byte range) and sent as raw bytes, memo and OLE values
// followed over their long-value pages and sent whole. libmdb's own text conversion is not used:
// it cannot tell NULL from a zero-length string, cuts memos and binary data, and follows the
// process locale.

#include <glib.h>
// glib first: mdbtools.h needs its types.
#include <mdbtools.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/mdb/MdbFault.h"

namespace korvane::mdbreader {

class TableScan {
public:
    TableScan(MdbHandle* mdb, MdbCatalogEntry* entry, uint64_t filePages);
    ~TableScan();
    TableScan(const TableScan&) = delete;
    TableScan& operator=(const TableScan&) = delete;

    // Reads the table definition; false with a description when it cannot be read.
    bool open(MdbFault& fault);
    // The kTableHeader payload.
    std::string header() const;

    enum class Step { Row, End, Error };
    // Appends the next row's kRow payload to `payload`.
    Step next(std::string& payload, MdbFault& fault);

private:
    bool loadNextPage();
    Step rowAt(int row, std::string& payload, MdbFault& fault);
    bool appendRow(int start, int size, std::string& payload, MdbFault& fault);
    bool appendValue(const MdbColumn& column, const MdbField& field, std::string& payload,
                     MdbFault& fault);
    bool readLongValue(const unsigned char* field, int size, std::string& out, MdbFault& fault);
    bool readLongValueRow(uint32_t pageRow, const unsigned char** data, int* size);

    MdbHandle* m_mdb;
    MdbCatalogEntry* m_entry;
    MdbTableDef* m_table = nullptr;
    uint64_t m_filePages;
    uint64_t m_pagesVisited = 0;
    bool m_pageLoaded = false;
    bool m_done = false;
    int m_rowOnPage = 0;
    std::vector<MdbField> m_fields;  // the fields of the row being cracked, reused row to row
};

// Finds row `row` of a data page: its start and size, and its flag bits (0x8000 deleted,
// 0x4000 overflow pointer). False when the page's row table does not hold such a row.
bool findRowInPage(const unsigned char* page, int pageSize, int rowCountOffset, int row, int* start,
                   int* size, int* flags);

}  // namespace korvane::mdbreader
