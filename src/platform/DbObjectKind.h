#pragma once
// What a catalogue object of an Access database is, from its row in MSysObjects. Names are
// unique only within one kind: a form, a report, a macro or a module may carry the name of a
// table or query, so every lookup by name picks the kind first.

#include <cstdint>

namespace korvane {

enum class DbObjectKind {
    Table,         // a local table of the user
    SystemTable,   // a table of the engine or of Access (MSysObjects, MSysAccessObjects, ...)
    LinkedAccess,  // a table linked from another Access database
    LinkedOdbc,    // a table linked through ODBC
    Query,
    Form,
    Report,
    Macro,
    Module,
    Other,  // containers, relationships, database properties, anything newer
};

// MSysObjects.Type as stored: a signed 16-bit value. Access's own objects have the top bit set
// (a form is -32768, a report -32764), so a type cut to its low seven bits takes a report for
// an ODBC link and a form for nothing at all.
constexpr int kStoredTypeTable = 1;
constexpr int kStoredTypeLinkedOdbc = 4;
constexpr int kStoredTypeQuery = 5;
constexpr int kStoredTypeLinkedAccess = 6;
constexpr int kStoredTypeForm = -32768;
constexpr int kStoredTypeMacro = -32766;
constexpr int kStoredTypeReport = -32764;
constexpr int kStoredTypeModule = -32761;

// MSysObjects.Flags of a table: set for the engine's system tables and for Access's own.
constexpr uint32_t kFlagSystemObject = 0x80000000u;
constexpr uint32_t kFlagAccessObject = 0x2u;

constexpr DbObjectKind dbObjectKind(int storedType, uint32_t flags) {
    switch (storedType) {
        case kStoredTypeTable:
            return (flags & (kFlagSystemObject | kFlagAccessObject)) != 0
                       ? DbObjectKind::SystemTable
                       : DbObjectKind::Table;
        case kStoredTypeLinkedOdbc:
            return DbObjectKind::LinkedOdbc;
        case kStoredTypeQuery:
            return DbObjectKind::Query;
        case kStoredTypeLinkedAccess:
            return DbObjectKind::LinkedAccess;
        case kStoredTypeForm:
            return DbObjectKind::Form;
        case kStoredTypeMacro:
            return DbObjectKind::Macro;
        case kStoredTypeReport:
            return DbObjectKind::Report;
        case kStoredTypeModule:
            return DbObjectKind::Module;
        default:
            return DbObjectKind::Other;
    }
}

// The kinds a name may stand for where rows are asked for (a recordset, the export, a query's
// FROM): tables and queries, and links, which are found only to say they cannot be read.
constexpr bool isRowSourceKind(DbObjectKind kind) {
    return kind == DbObjectKind::Table || kind == DbObjectKind::SystemTable ||
           kind == DbObjectKind::LinkedAccess || kind == DbObjectKind::LinkedOdbc ||
           kind == DbObjectKind::Query;
}

constexpr bool isTableKind(DbObjectKind kind) {
    return kind == DbObjectKind::Table || kind == DbObjectKind::SystemTable;
}

constexpr bool isLinkedKind(DbObjectKind kind) {
    return kind == DbObjectKind::LinkedAccess || kind == DbObjectKind::LinkedOdbc;
}

}  // namespace korvane
