#pragma once
// Why an operation below the shell did not do its work: a cause from one area's list, the
// details that fill its text (a path, a name, a count), and, when it adds to another failure
// ("in the query X: ..."), the failure it stands on. Words are made only when the boundary that
// reports a failure asks for text(); each area keeps the texts of its causes in one table
// (FailureTable), found through `failureTexts(Cause)` in the cause's own namespace.

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace korvane {

// The texts of one area's causes, each with %1, %2, ... where its details go.
class FailureTexts {
public:
    virtual QString pattern(int cause) const = 0;

protected:
    ~FailureTexts() = default;
};

template <typename Cause>
class FailureTable final : public FailureTexts {
public:
    struct Entry {
        Cause cause;
        const char* text;  // UTF-8
    };
    FailureTable(std::initializer_list<Entry> entries) : m_entries(entries) {}

    QString pattern(int cause) const override {
        for (const Entry& entry : m_entries) {
            if (static_cast<int>(entry.cause) == cause) {
                return QString::fromUtf8(entry.text);
            }
        }
        return QString();
    }

private:
    std::vector<Entry> m_entries;
};

// One tag per cause type, so that is() tells causes of different areas apart.
template <typename Cause>
const void* causeTypeTag() {
    static const char tag = 0;
    return &tag;
}

class Failure {
public:
    template <typename Cause, typename = std::enable_if_t<std::is_enum_v<Cause>>>
    explicit Failure(Cause cause, QStringList details = {})
        : Failure(failureTexts(cause), cause, std::move(details)) {}

    // A cause of a shared part told in its user's words ("the database reader stopped" or "the
    // workbook reader stopped"): `texts` is that user's table for the cause type.
    template <typename Cause, typename = std::enable_if_t<std::is_enum_v<Cause>>>
    Failure(const FailureTexts& texts, Cause cause, QStringList details = {})
        : m_texts(&texts),
          m_type(causeTypeTag<Cause>()),
          m_cause(static_cast<int>(cause)),
          m_details(std::move(details)) {}

    // `cause` adds to `inner`: the last placeholder of its text holds the inner failure's text.
    template <typename Cause, typename = std::enable_if_t<std::is_enum_v<Cause>>>
    Failure(Cause cause, QStringList details, Failure inner) : Failure(cause, std::move(details)) {
        m_inner = std::make_shared<const Failure>(std::move(inner));
    }

    // This failure's own cause.
    template <typename Cause>
    bool is(Cause cause) const {
        return m_type == causeTypeTag<Cause>() && m_cause == static_cast<int>(cause);
    }
    // This failure's cause, or that of one it stands on.
    template <typename Cause>
    bool stemsFrom(Cause cause) const {
        return is(cause) || (m_inner && m_inner->stemsFrom(cause));
    }

    const QStringList& details() const { return m_details; }
    const Failure* inner() const { return m_inner.get(); }

    // The words for a person, from the cause's table.
    QString text() const;

private:
    const FailureTexts* m_texts;
    const void* m_type;
    int m_cause;
    QStringList m_details;
    std::shared_ptr<const Failure> m_inner;
};

// Fills %1 ... %99 of `pattern` from `details` in one pass, as QString::arg does with several
// arguments: a detail that itself holds "%1" stays as it is.
QString fillPattern(const QString& pattern, const QStringList& details);

// The words of a text that is no failure (a message, a caption of progress) from its area's
// table, found as for a cause.
template <typename Key, typename = std::enable_if_t<std::is_enum_v<Key>>>
QString textOf(Key key, const QStringList& details = {}) {
    return fillPattern(failureTexts(key).pattern(static_cast<int>(key)), details);
}

}  // namespace korvane
