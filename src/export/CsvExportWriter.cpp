#include "export/CsvExportWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QStringEncoder>

#include "platform/mdb/DbValueText.h"
#include "text/CsvText.h"
#include "text/ValueText.h"

namespace korvane {

namespace {

// Lines are gathered up to this size before they are written.
constexpr size_t kWriteSize = 256 * 1024;

// A field needs enclosing when it holds one of these (as QuoteCsvField decides).
bool needsQuotes(char16_t c) {
    return c == u'"' || c == u',' || c == u'\r' || c == u'\n';
}

}  // namespace

CsvExportWriter::CsvExportWriter(const QString& path)
    : m_path(path), m_file(makeExportFile(path)) {}

CsvExportWriter::~CsvExportWriter() = default;

Status CsvExportWriter::open() {
    if (QFileInfo(m_path).isDir()) {
        return Failure{ExportFault::FolderOfThatName};
    }
    if (!m_file->open()) {
        return fileFailureCause(m_file->error(), m_path);
    }
    m_open = true;
    m_buffer.reserve(kWriteSize + 64 * 1024);
    return Done{};
}

bool CsvExportWriter::writeHeader(const QStringList& columnNames) {
    for (qsizetype i = 0; i < columnNames.size(); ++i) {
        if (i > 0) {
            m_buffer += ',';
        }
        appendText(columnNames.at(i));
    }
    return endLine();
}

bool CsvExportWriter::writeRow(const std::vector<DbValue>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            m_buffer += ',';
        }
        appendValue(values[i]);
    }
    return endLine();
}

void CsvExportWriter::appendValue(const DbValue& value) {
    // Numbers, dates and truth values never hold a comma, a quote or a line break.
    switch (value.kind) {
        case DbValue::Kind::Null:
            return;  // nothing, like an empty text
        case DbValue::Kind::Boolean:
            m_buffer += value.integer != 0 ? "True" : "False";
            return;
        case DbValue::Kind::Integer:
            AppendIntegerText(m_buffer, value.integer);
            return;
        case DbValue::Kind::Real:
            AppendDoubleText(m_buffer, value.real);
            return;
        case DbValue::Kind::Currency:
            AppendCurrencyText(m_buffer, value.integer);
            return;
        case DbValue::Kind::DateTime:
            AppendOleDateText(m_buffer, value.real);
            return;
        case DbValue::Kind::Decimal:
        case DbValue::Kind::Text:
        case DbValue::Kind::Guid:
            appendText(value.text);
            return;
        case DbValue::Kind::Binary:
            appendText(DbValueText(value));
            return;
    }
}

void CsvExportWriter::appendText(const QString& text) {
    bool ascii = true;
    for (const QChar c : text) {
        if (needsQuotes(c.unicode())) {
            const QByteArray quoted = QuoteCsvField(text).toUtf8();
            m_buffer.append(quoted.constData(), static_cast<size_t>(quoted.size()));
            return;
        }
        ascii = ascii && c.unicode() < 0x80;
    }
    const size_t start = m_buffer.size();
    if (ascii) {
        m_buffer.resize(start + static_cast<size_t>(text.size()));
        char* out = m_buffer.data() + start;
        for (const QChar c : text) {
            *out++ = static_cast<char>(c.unicode());
        }
        return;
    }
    // At most three UTF-8 bytes per UTF-16 unit.
    m_buffer.resize(start + static_cast<size_t>(text.size()) * 3);
    QStringEncoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    char* end = utf8.appendToBuffer(m_buffer.data() + start, text);
    m_buffer.resize(static_cast<size_t>(end - m_buffer.data()));
}

bool CsvExportWriter::endLine() {
    m_buffer += "\r\n";
    return m_buffer.size() < kWriteSize || flush();
}

bool CsvExportWriter::flush() {
    if (m_buffer.empty()) {
        return true;
    }
    const bool written = m_file->write(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    return written;
}

Failure CsvExportWriter::writeFailure() const {
    return fileFailureCause(m_file->error(), m_path);
}

Status CsvExportWriter::commit() {
    if (!flush() || !m_file->commit()) {
        Failure cause = fileFailureCause(m_file->error(), m_path);
        discard();
        return cause;
    }
    m_open = false;
    return Done{};
}

void CsvExportWriter::discard() {
    if (m_open) {
        m_file->discard();
        m_open = false;
    }
}

Failure fileFailureCause(QFileDevice::FileError error, const QString& path) {
    const QFileInfo info(path);
    switch (error) {
        case QFileDevice::ResourceError:
            return Failure{ExportFault::DiskFull};
        case QFileDevice::WriteError:
            return Failure{ExportFault::WriteFailed};
        case QFileDevice::RenameError:
            return Failure{ExportFault::CannotPlaceFile};
        case QFileDevice::OpenError:
        case QFileDevice::PermissionsError:
        default:
            break;
    }
    if (!info.dir().exists()) {
        return Failure{ExportFault::NoFolder};
    }
    if (info.exists() && !info.isWritable()) {
        return Failure{ExportFault::FileNotWritable};
    }
    return Failure{ExportFault::FolderNotWritable};
}

}  // namespace korvane
