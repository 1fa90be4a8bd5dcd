#include "platform/mdb/reader/CatalogueRead.h"

#include <cstdlib>
#include <cstring>

#include "platform/mdb/MdbProtocol.h"

namespace korvane::mdbreader {

namespace {

constexpr unsigned kCataloguePage = 2;  // MSysObjects' definition is always on page 2

}  // namespace

std::string storedName(const MdbHandle* mdb, const char* name, size_t capacity) {
    const size_t size = strnlen(name, capacity);
    if (!IS_JET3(mdb)) {
        return std::string(name, size);
    }
    std::string bytes;
    bytes.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        const auto lead = static_cast<unsigned char>(name[i]);
        if (lead >= 0xC2 && lead <= 0xC3 && i + 1 < size) {
            // U+0080..U+00FF as two UTF-8 bytes.
            bytes.push_back(static_cast<char>(((lead & 0x03) << 6) | (name[i + 1] & 0x3F)));
            ++i;
        } else {
            bytes.push_back(name[i]);
        }
    }
    return bytes;
}

std::vector<int> readStoredTypes(MdbHandle* mdb) {
    MdbCatalogEntry objects{};
    objects.mdb = mdb;
    objects.object_type = MDB_TABLE;
    objects.table_pg = kCataloguePage;
    strcpy(objects.object_name, "MSysObjects");
    MdbTableDef* table = mdb_read_table(&objects);
    if (table == nullptr) {
        return {};
    }
    std::vector<int> types;
    std::vector<char> type(mdb->bind_size + 1, '\0');
    if (table->num_cols <= MDB_MAX_COLS && mdb_read_columns(table) != nullptr &&
        mdb_bind_column_by_name(table, const_cast<gchar*>("Type"), type.data(), nullptr) != -1) {
        mdb_rewind_table(table);
        while (mdb_fetch_row(table)) {
            // libmdb writes the 16-bit value as signed decimal text.
            types.push_back(atoi(type.data()));
        }
    }
    mdb_free_tabledef(table);
    return types;
}

std::string databasePayload(MdbHandle* mdb, const std::vector<int>& storedTypes) {
    std::string payload;
    mdbproto::putU32(payload, mdb->f->jet_version);
    mdbproto::putU32(payload, mdb->f->code_page);
    mdbproto::putU32(payload, mdb->catalog->len);
    for (unsigned i = 0; i < mdb->catalog->len; ++i) {
        const auto* entry = static_cast<const MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        const int type = i < storedTypes.size() ? storedTypes[i] : entry->object_type;
        mdbproto::putString(payload,
                            storedName(mdb, entry->object_name, sizeof entry->object_name));
        mdbproto::putU32(payload, static_cast<uint32_t>(type));
        mdbproto::putU32(payload, static_cast<uint32_t>(entry->flags));
    }
    return payload;
}

}  // namespace korvane::mdbreader
