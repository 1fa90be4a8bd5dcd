// korvane-mdb-reader: the only process of the program that calls libmdb. A damaged database can
// make libmdb crash or loop; here that ends this helper, never the viewer, which notices the
// death or the silence and reports it.
//
// Requests arrive on stdin, replies leave on a copy of the original stdout; fd 1 itself is
// pointed at /dev/null because libmdb prints warnings to stdout.

#include <glib.h>
// glib first: mdbtools.h needs its types.
#include <mdbtools.h>

#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/mdb/MdbProtocol.h"
#include "platform/mdb/reader/CatalogueRead.h"
#include "platform/mdb/reader/TableScan.h"
#include "platform/process/HelperPipe.h"

namespace {

using namespace korvane;
using namespace korvane::helperpipe;

// Tests make the helper fail on purpose (see HelperPipe.h): KORVANE_MDB_READER_FAULT =
// "crash-open", "hang-open" or "crash-row:TABLE:N" (die while sending row N of table TABLE,
// counted from 1) or "endless:TABLE" (table TABLE repeats its last row for ever, as a damaged
// page chain may).
struct Fault {
    std::string crashTable;
    long crashRow = 0;
    std::string endlessTable;
};
Fault g_fault;
bool g_faultTableOpen = false;    // the open table is the one named by the fault
bool g_endlessTableOpen = false;  // the open table repeats its last row for ever
std::string g_lastRow;
long g_rowsSent = 0;

const FaultSwitch& faultSwitch() {
    static const FaultSwitch fault("KORVANE_MDB_READER_FAULT");
    return fault;
}

void readFault() {
    const std::string& fault = faultSwitch().text();
    g_fault.endlessTable = faultSwitch().after("endless:");
    const size_t lastColon = fault.rfind(':');
    if (fault.rfind("crash-row:", 0) == 0 && lastColon > 10) {
        g_fault.crashTable = fault.substr(10, lastColon - 10);
        g_fault.crashRow = strtol(fault.c_str() + lastColon + 1, nullptr, 10);
    }
}

bool sendError(MdbFault fault) {
    std::string payload;
    mdbproto::putU32(payload, static_cast<uint32_t>(fault));
    return sendFrame(mdbproto::kError, payload);
}

struct Database {
    MdbHandle* mdb = nullptr;
    uint64_t pages = 0;
    std::vector<int> storedTypes;  // MSysObjects.Type per catalogue entry
    ~Database() {
        if (mdb != nullptr) {
            mdb_close(mdb);
        }
    }
};

bool openDatabase(Database& db, const std::string& path) {
    faultSwitch().actOnOpen();
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return sendError(MdbFault::CannotOpenFile);
    }
    db.mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (db.mdb == nullptr) {
        return sendError(MdbFault::CannotOpenFile);
    }
    // mdb_open accepts even an empty or cut file; only a catalogue that reads proves a database.
    if (mdb_read_catalog(db.mdb, MDB_ANY) == nullptr || db.mdb->catalog == nullptr) {
        return sendError(MdbFault::CannotReadCatalogue);
    }
    db.pages = static_cast<uint64_t>(info.st_size) / static_cast<uint64_t>(db.mdb->fmt->pg_size);
    db.storedTypes = mdbreader::readStoredTypes(db.mdb);
    const std::string payload = mdbreader::databasePayload(db.mdb, db.storedTypes);
    return sendFrame(mdbproto::kDatabase, payload);
}

// The table at a position of the catalogue. The catalogue is read once at open: libmdb's
// lookup by name would read it again and free the entries handed out before; and a name alone
// does not tell a table from a form of the same name.
MdbCatalogEntry* findTable(const Database& db, uint32_t index) {
    if (index >= db.mdb->catalog->len) {
        return nullptr;
    }
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(db.mdb->catalog, index));
    const int type = index < db.storedTypes.size() ? db.storedTypes[index] : entry->object_type;
    return type == MDB_TABLE ? entry : nullptr;
}

// Rows are cracked straight into the frame that carries them: a kind byte and a length that is
// filled in once the row is there.
bool sendRows(mdbreader::TableScan& scan, uint32_t maxRows, bool& ended) {
    constexpr size_t kFlushAt = 1u << 20;
    std::string out;
    MdbFault fault = MdbFault::BrokenRow;
    for (uint32_t n = 0; n < maxRows; ++n) {
        const size_t frameStart = out.size();
        const size_t payloadStart = frameStart + frameproto::kFrameHeader;
        out.push_back(mdbproto::kRow);
        out.append(4, '\0');
        auto step = scan.next(out, fault);
        if (g_endlessTableOpen) {
            if (step == mdbreader::TableScan::Step::Row) {
                g_lastRow.assign(out, payloadStart, std::string::npos);
            } else if (step == mdbreader::TableScan::Step::End && !g_lastRow.empty()) {
                out.resize(payloadStart);
                out += g_lastRow;
                step = mdbreader::TableScan::Step::Row;
            }
        }
        if (step == mdbreader::TableScan::Step::Row) {
            if (g_faultTableOpen && ++g_rowsSent >= g_fault.crashRow) {
                out.resize(frameStart);
                writeAll(out);
                crashNow();
            }
            const auto size = static_cast<uint32_t>(out.size() - payloadStart);
            for (size_t i = 0; i < 4; ++i) {
                out[frameStart + 1 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
            }
            if (out.size() > kFlushAt) {
                if (!writeAll(out)) {
                    return false;
                }
                out.clear();
            }
            continue;
        }
        out.resize(frameStart);
        ended = true;
        if (!writeAll(out)) {
            return false;
        }
        if (step == mdbreader::TableScan::Step::End) {
            return sendFrame(mdbproto::kTableEnd, {});
        }
        return sendError(fault);
    }
    frameproto::appendFrame(out, mdbproto::kBatchEnd, {});
    return writeAll(out);
}

int serve() {
    Database db;
    std::unique_ptr<mdbreader::TableScan> scan;
    for (;;) {
        char opcode = 0;
        if (!readExact(&opcode, 1)) {
            return 0;
        }
        bool ok = true;
        switch (opcode) {
            case mdbproto::kOpenDatabase: {
                std::string path;
                if (!readString(path) || db.mdb != nullptr) {
                    return 2;
                }
                ok = openDatabase(db, path);
                break;
            }
            case mdbproto::kOpenTable: {
                uint32_t index = 0;
                if (!readU32(index)) {
                    return 2;
                }
                scan.reset();
                MdbCatalogEntry* entry = db.mdb != nullptr ? findTable(db, index) : nullptr;
                const std::string name = entry != nullptr ? entry->object_name : std::string();
                g_faultTableOpen = g_fault.crashRow > 0 && name == g_fault.crashTable;
                g_rowsSent = 0;
                g_endlessTableOpen = !g_fault.endlessTable.empty() && name == g_fault.endlessTable;
                g_lastRow.clear();
                if (entry == nullptr) {
                    ok = sendError(MdbFault::NoSuchTable);
                    break;
                }
                scan = std::make_unique<mdbreader::TableScan>(db.mdb, entry, db.pages);
                MdbFault fault = MdbFault::CannotReadTableDefinition;
                if (!scan->open(fault)) {
                    scan.reset();
                    ok = sendError(fault);
                    break;
                }
                ok = sendFrame(mdbproto::kTableHeader, scan->header());
                break;
            }
            case mdbproto::kNextRows: {
                uint32_t maxRows = 0;
                if (!readU32(maxRows)) {
                    return 2;
                }
                if (!scan) {
                    ok = sendFrame(mdbproto::kTableEnd, {});
                    break;
                }
                bool ended = false;
                ok = sendRows(*scan, maxRows, ended);
                if (ended) {
                    scan.reset();
                }
                break;
            }
            case mdbproto::kQuit:
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
    helperpipe::noteStart("korvane-mdb-reader");
    // Jet 3 files hold no Unicode: their names and text are in the code page of the machine
    // that wrote them, which the viewer decodes. Read as Latin-1, libmdb's names keep every
    // byte, so the helper can hand them over as stored.
    setenv("MDB_JET3_CHARSET", "ISO-8859-1", 1);
    unsetenv("MDBICONV");
    unsetenv("MDBOPTS");
    readFault();
    return serve();
}
