#include "text/CsvText.h"

namespace korvane {

namespace {

constexpr QChar kQuote = u'"';
constexpr QChar kComma = u',';

bool isFolderSeparator(QChar c) {
    return c == u'\\' || c == u'/';
}

// Blanks that may stand before a field's text: space, tab and NUL.
bool isLeadingBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\0';
}

}  // namespace

PathParts SplitPath(const QString& path) {
    PathParts parts;
    QStringView working(path);

    // The last "." of the whole path marks the extension, even when it stands in a folder name.
    const qsizetype dot = working.lastIndexOf(u'.');
    if (dot >= 0) {
        parts.extension = working.mid(dot + 1).toString();
        working = working.left(dot);
    }

    qsizetype separator = working.size() - 1;
    while (separator >= 0 && !isFolderSeparator(working[separator])) {
        --separator;
    }
    if (separator >= 0) {
        parts.baseName = working.mid(separator + 1).toString();
        parts.folder = working.left(separator).toString();
        return parts;
    }

    // No separator: a drive mark ("C:") is the folder.
    if (working.size() >= 2 && working[1] == u':') {
        parts.folder = working.left(2).toString();
        parts.baseName = working.mid(2).toString();
    } else {
        parts.baseName = working.toString();
    }
    return parts;
}

QStringList SplitCsvLine(QStringView line) {
    QStringList fields;
    const qsizetype length = line.size();
    if (length == 0) {
        return fields;
    }
    fields.reserve(16);

    // fieldStart is the index just after the last separator; a field closed by the quote at
    // the very end of the line leaves it at length.
    qsizetype fieldStart = 0;
    bool inQuotes = false;
    const QChar* const chars = line.data();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = chars[i];
        if (c == kComma) {
            if (!inQuotes) {
                fields.append(CleanField(line.mid(fieldStart, i - fieldStart)));
                fieldStart = i + 1;
            }
        } else if (c == kQuote) {
            if (!inQuotes) {
                // An opening quote counts wherever it stands in the field.
                inQuotes = true;
            } else if (i == length - 1) {
                fields.append(CleanField(line.mid(fieldStart)));
                fieldStart = length;
            } else if (chars[i + 1] == kQuote) {
                ++i;  // a doubled quote stays inside the quoted part
            } else {
                inQuotes = false;
            }
        }
    }

    // A comma (or closing quote) as the last character closes the field before it and opens
    // no further one.
    if (fieldStart < length) {
        fields.append(CleanField(line.mid(fieldStart)));
    }
    return fields;
}

QString CleanField(QStringView raw) {
    qsizetype start = 0;
    while (start < raw.size() && isLeadingBlank(raw[start])) {
        ++start;
    }
    if (start == raw.size()) {
        return QString();
    }
    return StripQuotes(raw.mid(start));
}

QString StripQuotes(QStringView text) {
    // A lone quote has no enclosing pair: it stays as it is, so nothing of the field is lost.
    if (text.size() >= 2 && text.front() == kQuote && text.back() == kQuote) {
        return text.mid(1, text.size() - 2).toString();
    }
    return text.toString();
}

QString QuoteCsvField(const QString& value) {
    bool needsQuotes = false;
    qsizetype quoteCount = 0;
    for (const QChar c : value) {
        if (c == kQuote) {
            ++quoteCount;
            needsQuotes = true;
        } else if (c == kComma || c == u'\r' || c == u'\n') {
            needsQuotes = true;
        }
    }
    if (!needsQuotes) {
        return value;
    }

    QString quoted;
    quoted.reserve(value.size() + quoteCount + 2);
    quoted.append(kQuote);
    for (const QChar c : value) {
        quoted.append(c);
        if (c == kQuote) {
            quoted.append(kQuote);
        }
    }
    quoted.append(kQuote);
    return quoted;
}

}  // namespace korvane
