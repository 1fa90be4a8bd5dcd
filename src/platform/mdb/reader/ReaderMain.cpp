// korvane-mdb-reader: the only process of the program that calls libmdb. A damaged database can
// make libmdb crash or loop; here that ends this helper, never the viewer, which notices the
// death or the silence and reports it.
//
// Requests arrive on stdin, replies leave on a copy of the original stdout; fd 1 itself is
// pointed at /dev/null because libmdb prints warnings to stdout.

#include <glib.h>
// glib first: mdbtools.h needs its types.
#include <mdbtools.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/mdb/MdbProtocol.h"
#include "platform/mdb/reader/TableScan.h"

namespace {

using namespace korvane;

int g_out = -1;

// Tests make the helper fail on purpose, to see that its death or silence reaches the user as a
// message: KORVANE_MDB_READER_FAULT = "crash-open", "hang-open" or "crash-row:TABLE:N" (die
// while sending row N of table TABLE, counted from 1) or "endless:TABLE" (table TABLE repeats
// its last row for ever, as a damaged page chain may).
struct Fault {
    bool crashOpen = false;
    bool hangOpen = false;
    std::string crashTable;
    long crashRow = 0;
    std::string endlessTable;
};
Fault g_fault;
bool g_faultTableOpen = false;    // the open table is the one named by the fault
bool g_endlessTableOpen = false;  // the open table repeats its last row for ever
std::string g_lastRow;
long g_rowsSent = 0;

void readFault() {
    const char* text = getenv("KORVANE_MDB_READER_FAULT");
    if (text == nullptr) {
        return;
    }
    const std::string fault(text);
    g_fault.crashOpen = fault == "crash-open";
    g_fault.hangOpen = fault == "hang-open";
    if (fault.rfind("endless:", 0) == 0) {
        g_fault.endlessTable = fault.substr(8);
    }
    const size_t lastColon = fault.rfind(':');
    if (fault.rfind("crash-row:", 0) == 0 && lastColon > 10) {
        g_fault.crashTable = fault.substr(10, lastColon - 10);
        g_fault.crashRow = strtol(fault.c_str() + lastColon + 1, nullptr, 10);
    }
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

void appendFrame(std::string& out, char kind, const std::string& payload) {
    out.push_back(kind);
    mdbproto::putU32(out, static_cast<uint32_t>(payload.size()));
    out.append(payload);
}

bool sendFrame(char kind, const std::string& payload) {
    std::string frame;
    appendFrame(frame, kind, payload);
    return writeAll(frame);
}

bool sendError(const std::string& description) {
    std::string payload;
    mdbproto::putString(payload, description);
    return sendFrame(mdbproto::kError, payload);
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

bool readString(std::string& value) {
    uint32_t size = 0;
    if (!readU32(size) || size > (1u << 20)) {
        return false;
    }
    value.resize(size);
    return size == 0 || readExact(value.data(), size);
}

struct Database {
    MdbHandle* mdb = nullptr;
    uint64_t pages = 0;
    ~Database() {
        if (mdb != nullptr) {
            mdb_close(mdb);
        }
    }
};

bool openDatabase(Database& db, const std::string& path) {
    if (g_fault.crashOpen) {
        crashNow();
    }
    while (g_fault.hangOpen) {
        pause();
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return sendError("ファイルを開けません。");
    }
    db.mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (db.mdb == nullptr) {
        return sendError("ファイルを開けません。");
    }
    // mdb_open accepts even an empty or cut file; only a catalogue that reads proves a database.
    if (mdb_read_catalog(db.mdb, MDB_ANY) == nullptr || db.mdb->catalog == nullptr) {
        return sendError(
            "データベースの目録を読み取れません。ファイルが壊れているか、"
            "Access データベースではありません。");
    }
    db.pages = static_cast<uint64_t>(info.st_size) / static_cast<uint64_t>(db.mdb->fmt->pg_size);
    std::string payload;
    mdbproto::putU32(payload, db.mdb->f->jet_version);
    mdbproto::putU32(payload, db.mdb->catalog->len);
    for (unsigned i = 0; i < db.mdb->catalog->len; ++i) {
        const auto* entry =
            static_cast<const MdbCatalogEntry*>(g_ptr_array_index(db.mdb->catalog, i));
        mdbproto::putString(payload, entry->object_name,
                            strnlen(entry->object_name, sizeof entry->object_name));
        mdbproto::putU32(payload, static_cast<uint32_t>(entry->object_type));
        mdbproto::putU32(payload, static_cast<uint32_t>(entry->flags));
    }
    return sendFrame(mdbproto::kDatabase, payload);
}

// Finds a table by its exact catalogue name. The catalogue is read once at open: libmdb's
// lookup by name would read it again and free the entries handed out before.
MdbCatalogEntry* findTable(const Database& db, const std::string& name) {
    for (unsigned i = 0; i < db.mdb->catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(db.mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && name == entry->object_name) {
            return entry;
        }
    }
    return nullptr;
}

bool sendRows(mdbreader::TableScan& scan, uint32_t maxRows, bool& ended) {
    std::string out;
    std::string payload;
    std::string error;
    for (uint32_t n = 0; n < maxRows; ++n) {
        payload.clear();
        auto step = scan.next(payload, error);
        if (g_endlessTableOpen) {
            if (step == mdbreader::TableScan::Step::Row) {
                g_lastRow = payload;
            } else if (step == mdbreader::TableScan::Step::End && !g_lastRow.empty()) {
                payload = g_lastRow;
                step = mdbreader::TableScan::Step::Row;
            }
        }
        if (step == mdbreader::TableScan::Step::Row) {
            if (g_faultTableOpen && ++g_rowsSent >= g_fault.crashRow) {
                writeAll(out);
                crashNow();
            }
            appendFrame(out, mdbproto::kRow, payload);
            if (out.size() > (1u << 20) && !writeAll(out)) {
                return false;
            }
            if (out.size() > (1u << 20)) {
                out.clear();
            }
            continue;
        }
        ended = true;
        if (!writeAll(out)) {
            return false;
        }
        if (step == mdbreader::TableScan::Step::End) {
            return sendFrame(mdbproto::kTableEnd, {});
        }
        return sendError(error);
    }
    appendFrame(out, mdbproto::kBatchEnd, {});
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
                std::string name;
                if (!readString(name)) {
                    return 2;
                }
                scan.reset();
                g_faultTableOpen = g_fault.crashRow > 0 && name == g_fault.crashTable;
                g_rowsSent = 0;
                g_endlessTableOpen = !g_fault.endlessTable.empty() && name == g_fault.endlessTable;
                g_lastRow.clear();
                MdbCatalogEntry* entry = db.mdb != nullptr ? findTable(db, name) : nullptr;
                if (entry == nullptr) {
                    ok = sendError("テーブルが見つかりません。");
                    break;
                }
                scan = std::make_unique<mdbreader::TableScan>(db.mdb, entry, db.pages);
                std::string error;
                if (!scan->open(error)) {
                    scan.reset();
                    ok = sendError(error);
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
    g_out = dup(1);
    const int devNull = open("/dev/null", O_WRONLY);
    if (g_out < 0 || devNull < 0 || dup2(devNull, 1) < 0) {
        return 4;
    }
    close(devNull);
    // Jet 3 files hold no Unicode; their names and text are in the system's code page, which
    // for this program's users is Windows-31J (strict Shift_JIS lacks characters such as ①).
    setenv("MDB_JET3_CHARSET", "CP932", 1);
    unsetenv("MDBICONV");
    unsetenv("MDBOPTS");
    readFault();
    return serve();
}
