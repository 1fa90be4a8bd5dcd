#include "platform/Failure.h"

namespace korvane {

QString fillPattern(const QString& pattern, const QStringList& details) {
    QString out;
    out.reserve(pattern.size() + 16 * details.size());
    const qsizetype size = pattern.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = pattern.at(i);
        if (c != QLatin1Char('%') || i + 1 >= size || !pattern.at(i + 1).isDigit()) {
            out += c;
            continue;
        }
        qsizetype end = i + 1;
        int number = 0;
        while (end < size && end < i + 3 && pattern.at(end).isDigit()) {
            number = number * 10 + pattern.at(end).digitValue();
            ++end;
        }
        if (number >= 1 && number <= details.size()) {
            out += details.at(number - 1);
            i = end - 1;
        } else {
            out += c;
        }
    }
    return out;
}

QString Failure::text() const {
    if (!m_inner) {
        return fillPattern(m_texts->pattern(m_cause), m_details);
    }
    QStringList details = m_details;
    details.append(m_inner->text());
    return fillPattern(m_texts->pattern(m_cause), details);
}

}  // namespace korvane
