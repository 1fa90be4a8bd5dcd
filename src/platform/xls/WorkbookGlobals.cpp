#include "platform/xls/BiffRecords.h"
#include "platform/xls/BiffStrings.h"
#include "platform/xls/NumberFormat.h"
#include "platform/xls/XlsFault.h"
#include "platform/xls/XlsModel.h"

namespace korvane::xls {

namespace {

constexpr uint16_t kBofWorkbookGlobals = 0x0005;
constexpr uint16_t kVersionBiff8 = 0x0600;
constexpr uint16_t kVersionBiff5 = 0x0500;

Failure olderVersion(int version) {
    static const char* const kNames[] = {"", "", "Excel 2.x", "Excel 3.0", "Excel 4.0"};
    return Failure{XlsFault::OlderVersion,
                   {QLatin1String(kNames[version]), QString::number(version)}};
}

SheetKind sheetKind(uint8_t type) {
    switch (type) {
        case 0x00:
            return SheetKind::Worksheet;
        case 0x01:
            return SheetKind::MacroSheet;
        case 0x02:
            return SheetKind::Chart;
        case 0x06:
            return SheetKind::VisualBasicModule;
        default:
            return SheetKind::Other;
    }
}

// Byte strings of an Excel 5.0/95 workbook wait for the end of the globals, because the
// CODEPAGE record that says how to read them need not come first.
struct PendingName {
    size_t sheet;
    Span bytes;
};
struct PendingFormat {
    int index;
    Span bytes;
};

Span byteStringSpan(ByteReader& reader, CountWidth width) {
    const size_t length = width == CountWidth::Byte ? reader.u8() : reader.u16();
    const size_t available = reader.failed() ? 0 : std::min(length, reader.remaining());
    Span span{reader.current(), available};
    reader.skip(available);
    return span;
}

// The BOF record that opens the globals: which version of the format, and that the stream holds
// a workbook and not a single sheet.
Status readGlobalsBof(RecordCursor& cursor, const QString& streamName, int& biffVersion) {
    Record record;
    if (!cursor.next(record)) {
        return Failure{XlsFault::EmptyStream};
    }
    switch (record.type) {
        case kBofBiff2:
            return olderVersion(2);
        case kBofBiff3:
            return olderVersion(3);
        case kBofBiff4:
            return olderVersion(4);
        case kBof:
            break;
        default:
            return Failure{XlsFault::BadStart};
    }
    ByteReader bof(record.data);
    const uint16_t version = bof.u16();
    const uint16_t substream = bof.u16();
    if (version == kVersionBiff8) {
        biffVersion = 8;
    } else if (version == kVersionBiff5) {
        biffVersion = 5;
    } else if (version == 0x0400 || version == 0x0300 || version == 0x0200) {
        return olderVersion(version >> 8);
    } else {
        // Some writers leave the version out; the stream's name and the BOF's size tell.
        const bool looksBiff8 = streamName == QLatin1String("Workbook") ||
                                (streamName.isEmpty() && record.data.size >= 16);
        biffVersion = looksBiff8 ? 8 : 5;
    }
    if (!bof.failed() && substream != kBofWorkbookGlobals) {
        return Failure{XlsFault::SingleSheet};
    }
    return Done{};
}

// The records of the globals after their BOF, gathered until the EOF; byte strings of an
// Excel 5.0/95 workbook are decoded at the end, once the code page is known.
class GlobalsRecords {
public:
    explicit GlobalsRecords(WorkbookGlobals& globals)
        : m_globals(globals),
          m_biff8(globals.biffVersion == 8),
          m_codePage(m_biff8 ? 1200 : kDefaultCodePage) {}

    Status read(RecordCursor& cursor) {
        Record record;
        while (cursor.next(record)) {
            ByteReader reader(record.data);
            switch (record.type) {
                case kFilePass:
                    return Failure{XlsFault::PasswordProtected};
                case kEof:
                    return Done{};
                case kCodePage:
                    m_codePage = reader.u16();
                    break;
                case kDateMode:
                    m_globals.date1904 = reader.u16() != 0;
                    break;
                case kBoundSheet:
                    boundSheet(reader);
                    break;
                case kXf:
                    reader.u16();  // font
                    m_xfFormats.push_back(reader.u16());
                    break;
                case kFormat:
                    format(reader);
                    break;
                case kSst:
                    sharedStrings(record, cursor);
                    break;
                default:
                    break;
            }
        }
        return Done{};
    }

    // Decodes what waited for the code page and marks the XFs that show dates.
    void finish() {
        m_globals.decoder = CodePageDecoder(m_codePage);
        for (const PendingName& name : m_pendingNames) {
            m_globals.sheets[name.sheet].name =
                m_globals.decoder.decode(name.bytes.data, name.bytes.size);
        }
        for (const PendingFormat& format : m_pendingFormats) {
            m_formatCodes.insert(format.index,
                                 m_globals.decoder.decode(format.bytes.data, format.bytes.size));
        }
        m_globals.xfIsDate.reserve(m_xfFormats.size());
        for (uint16_t format : m_xfFormats) {
            // Format 0 is General in every language, whatever name a localized FORMAT gives it.
            const auto code = m_formatCodes.constFind(format);
            const bool isDate =
                format != 0 && (code != m_formatCodes.constEnd() ? isDateFormatCode(*code)
                                                                 : isBuiltInDateFormat(format));
            m_globals.xfIsDate.push_back(isDate);
        }
    }

private:
    void boundSheet(ByteReader& reader) {
        SheetEntry sheet;
        sheet.bofOffset = reader.u32();
        reader.u8();  // visibility: hidden sheets belong to the workbook's sheets too
        sheet.kind = sheetKind(reader.u8());
        // Visual Basic modules of Excel 5.0/95 are no sheets of the workbook any more.
        if (reader.failed() || sheet.kind == SheetKind::VisualBasicModule) {
            return;
        }
        if (m_biff8) {
            ContinuedReader text({Span{reader.current(), reader.remaining()}});
            readUnicodeString(text, CountWidth::Byte, sheet.name);
        } else {
            m_pendingNames.push_back(
                {m_globals.sheets.size(), byteStringSpan(reader, CountWidth::Byte)});
        }
        m_globals.sheets.push_back(std::move(sheet));
    }

    void format(ByteReader& reader) {
        const int index = reader.u16();
        if (reader.failed()) {
            return;
        }
        if (m_biff8) {
            ContinuedReader text({Span{reader.current(), reader.remaining()}});
            QString code;
            readUnicodeString(text, CountWidth::Word, code);
            m_formatCodes.insert(index, code);
        } else {
            m_pendingFormats.push_back({index, byteStringSpan(reader, CountWidth::Byte)});
        }
    }

    void sharedStrings(const Record& record, RecordCursor& cursor) {
        ContinuedReader strings(withContinues(record, cursor));
        strings.u32();  // total references
        const uint32_t unique = strings.u32();
        while (m_globals.sharedStrings.size() < unique && !strings.failed() && !strings.atEnd()) {
            QString text;
            const bool whole = readUnicodeString(strings, CountWidth::Word, text);
            m_globals.sharedStrings.push_back(std::move(text));
            if (!whole) {
                break;
            }
        }
    }

    WorkbookGlobals& m_globals;
    const bool m_biff8;
    int m_codePage;
    std::vector<uint16_t> m_xfFormats;
    QHash<int, QString> m_formatCodes;
    std::vector<PendingName> m_pendingNames;
    std::vector<PendingFormat> m_pendingFormats;
};

}  // namespace

Result<WorkbookGlobals> parseGlobals(const QByteArray& stream, const QString& streamName) {
    WorkbookGlobals globals;
    RecordCursor cursor(stream, 0);
    if (Status bof = readGlobalsBof(cursor, streamName, globals.biffVersion); !bof) {
        return bof.takeFailure();
    }
    GlobalsRecords records(globals);
    if (Status read = records.read(cursor); !read) {
        return read.takeFailure();
    }
    records.finish();
    if (globals.sheets.empty()) {
        return Failure{XlsFault::NoSheets};
    }
    return globals;
}

}  // namespace korvane::xls
