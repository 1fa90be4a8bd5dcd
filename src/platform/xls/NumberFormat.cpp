#include "platform/xls/NumberFormat.h"

namespace korvane::xls {

bool isBuiltInDateFormat(int formatIndex) {
    return (formatIndex >= 14 && formatIndex <= 22) || (formatIndex >= 27 && formatIndex <= 36) ||
           (formatIndex >= 45 && formatIndex <= 47) || (formatIndex >= 50 && formatIndex <= 58);
}

bool isDateFormatCode(QStringView code) {
    const qsizetype n = code.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = code[i];
        switch (c.unicode()) {
            case u'"': {  // quoted text
                ++i;
                while (i < n && code[i] != u'"') {
                    ++i;
                }
                break;
            }
            case u'\\':  // the next character stands for itself
            case u'_':   // the next character only takes up its width
            case u'*':   // the next character fills the cell
                ++i;
                break;
            case u'[': {  // colour, condition, locale; elapsed hours, minutes, seconds count
                const qsizetype start = i + 1;
                while (i < n && code[i] != u']') {
                    ++i;
                }
                const QStringView inside = code.mid(start, std::max<qsizetype>(0, i - start));
                if (!inside.isEmpty()) {
                    const QChar first = inside[0].toLower();
                    bool elapsed = first == u'h' || first == u'm' || first == u's';
                    for (QChar ch : inside) {
                        elapsed = elapsed && ch.toLower() == first;
                    }
                    if (elapsed) {
                        return true;
                    }
                }
                break;
            }
            default: {
                const QChar lower = c.toLower();
                if (lower == u'y' || lower == u'm' || lower == u'd' || lower == u'h' ||
                    lower == u's') {
                    return true;
                }
                break;
            }
        }
    }
    return false;
}

}  // namespace korvane::xls
