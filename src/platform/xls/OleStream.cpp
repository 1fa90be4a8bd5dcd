#include "platform/xls/OleStream.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>

#include <QFile>
#include <memory>
#include <mutex>

#include "platform/xls/XlsFault.h"

namespace korvane::xls {

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const {
        if (object != nullptr) {
            g_object_unref(object);
        }
    }
};
using InputPtr = std::unique_ptr<GsfInput, GObjectUnref>;
using InfilePtr = std::unique_ptr<GsfInfile, GObjectUnref>;

struct ErrorFree {
    void operator()(GError* error) const {
        if (error != nullptr) {
            g_error_free(error);
        }
    }
};

constexpr gsf_off_t kChunk = 64 * 1024;

void initLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
}

// Reads a stream to its end in bounded chunks: a size claimed by a damaged directory entry
// never decides an allocation on its own, the bytes actually read do.
Result<QByteArray> readAll(GsfInput* input) {
    QByteArray bytes;
    guint8 chunk[kChunk];
    while (gsf_input_remaining(input) > 0) {
        const gsf_off_t n = std::min(gsf_input_remaining(input), kChunk);
        if (gsf_input_read(input, static_cast<size_t>(n), chunk) == nullptr) {
            return Failure{XlsFault::StreamEndsEarly};
        }
        bytes.append(reinterpret_cast<const char*>(chunk), static_cast<qsizetype>(n));
    }
    return bytes;
}

bool startsWith(const QByteArray& head, const char* magic, int length) {
    return head.size() >= length && std::memcmp(head.constData(), magic, length) == 0;
}

// The version a bare BIFF stream starts with, from its BOF record type; 0 when it starts with
// no BOF at all.
int bareBiffVersion(const QByteArray& head) {
    if (head.size() < 4) {
        return 0;
    }
    const auto type =
        static_cast<uint16_t>(static_cast<uint8_t>(head[0]) | static_cast<uint8_t>(head[1]) << 8);
    switch (type) {
        case 0x0009:
            return 2;
        case 0x0209:
            return 3;
        case 0x0409:
            return 4;
        case 0x0809:
            return 5;  // 5 or 8; the BOF record itself tells
        default:
            return 0;
    }
}

Result<WorkbookStream> fromContainer(GsfInput* source) {
    GError* rawError = nullptr;
    InfilePtr infile(gsf_infile_msole_new(source, &rawError));
    std::unique_ptr<GError, ErrorFree> error(rawError);
    if (!infile) {
        return Failure{XlsFault::ContainerUnreadable};
    }
    int workbookIndex = -1;
    int bookIndex = -1;
    bool encryptedPackage = false;
    const int count = gsf_infile_num_children(infile.get());
    for (int i = 0; i < count; ++i) {
        const char* name = gsf_infile_name_by_index(infile.get(), i);
        if (name == nullptr) {
            continue;
        }
        const QString childName = QString::fromUtf8(name);
        if (childName.compare(QLatin1String("Workbook"), Qt::CaseInsensitive) == 0) {
            workbookIndex = i;
        } else if (childName.compare(QLatin1String("Book"), Qt::CaseInsensitive) == 0) {
            bookIndex = i;
        } else if (childName == QLatin1String("EncryptedPackage")) {
            encryptedPackage = true;
        }
    }
    const int index = workbookIndex >= 0 ? workbookIndex : bookIndex;
    if (index < 0) {
        if (encryptedPackage) {
            return Failure{XlsFault::PasswordProtected};
        }
        return Failure{XlsFault::NoWorkbookData};
    }
    InputPtr child(gsf_infile_child_by_index(infile.get(), index));
    if (!child) {
        return Failure{XlsFault::StreamUnopenable};
    }
    if (gsf_input_size(child.get()) > gsf_input_size(source)) {
        return Failure{XlsFault::StreamLongerThanFile};
    }
    Result<QByteArray> bytes = readAll(child.get());
    if (!bytes) {
        return bytes.takeFailure();
    }
    return WorkbookStream{std::move(bytes).value(), index == workbookIndex
                                                        ? QStringLiteral("Workbook")
                                                        : QStringLiteral("Book")};
}

Result<WorkbookStream> fromSource(GsfInput* source) {
    QByteArray head(8, '\0');
    const gsf_off_t size = gsf_input_size(source);
    if (size < 8 || gsf_input_read(source, 8, reinterpret_cast<guint8*>(head.data())) == nullptr) {
        return Failure{XlsFault::FileTooShort};
    }
    gsf_input_seek(source, 0, G_SEEK_SET);
    if (startsWith(head, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
        return fromContainer(source);
    }
    if (startsWith(head, "PK\x03\x04", 4)) {
        return Failure{XlsFault::NewerWorkbook};
    }
    if (bareBiffVersion(head) == 0) {
        return Failure{XlsFault::NotAWorkbook};
    }
    Result<QByteArray> bytes = readAll(source);
    if (!bytes) {
        return bytes.takeFailure();
    }
    return WorkbookStream{std::move(bytes).value(), QString()};
}

}  // namespace

Result<WorkbookStream> readWorkbookStream(const QString& path) {
    initLibraryOnce();
    GError* rawError = nullptr;
    const QByteArray localPath = QFile::encodeName(path);
    InputPtr source(gsf_input_stdio_new(localPath.constData(), &rawError));
    std::unique_ptr<GError, ErrorFree> error(rawError);
    if (!source) {
        return Failure{XlsFault::CannotOpenFile};
    }
    return fromSource(source.get());
}

Result<WorkbookStream> readWorkbookStreamFromBytes(const QByteArray& fileBytes) {
    initLibraryOnce();
    InputPtr source(gsf_input_memory_new(reinterpret_cast<const guint8*>(fileBytes.constData()),
                                         fileBytes.size(), FALSE));
    if (!source) {
        return Failure{XlsFault::FileTooShort};
    }
    return fromSource(source.get());
}

}  // namespace korvane::xls
