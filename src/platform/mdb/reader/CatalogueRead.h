#pragma once
// The catalogue as the reader sends it: each object of MSysObjects with its Type as stored.
// libmdb keeps only the low seven bits of the type, which makes a report (-32764) look like an
// ODBC link (4) and a form (-32768) like nothing, so the types are read once more here.

#include <glib.h>
// glib first: mdbtools.h needs its types.
#include <mdbtools.h>

#include <string>
#include <vector>

namespace korvane::mdbreader {

// MSysObjects.Type of every row, in the table's order (the order of libmdb's catalogue, which
// has one entry per row). Empty when the table cannot be read.
std::vector<int> readStoredTypes(MdbHandle* mdb);

// A name as libmdb gives it (object and column names), as the viewer expects it: UTF-8 from a
// Jet 4 file; from a Jet 3 file the bytes as stored, in the file's code page. libmdb reads
// Jet 3 names as Latin-1, so its UTF-8 maps back to the stored bytes one to one.
std::string storedName(const MdbHandle* mdb, const char* name, size_t capacity);

// The kDatabase payload: the format version, the code page of the file's header, and per
// catalogue entry its name, stored type and flags. `storedTypes` as from readStoredTypes; an
// entry it does not reach keeps libmdb's cut type.
std::string databasePayload(MdbHandle* mdb, const std::vector<int>& storedTypes);

}  // namespace korvane::mdbreader
