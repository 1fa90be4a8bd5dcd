#pragma once
// A value of the workbook reader, or the reason there is none in words a person can read
// ("the workbook is password-protected").

#include <QString>
#include <optional>
#include <utility>

namespace korvane::xls {

struct Failure {
    QString description;
};

template <typename T>
class Result {
public:
    Result(T value) : m_value(std::move(value)) {}  // NOLINT: implicit on purpose
    Result(Failure failure) : m_failure(std::move(failure.description)) {}  // NOLINT

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *m_value; }
    T& value() & { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    const T* operator->() const { return &*m_value; }
    T* operator->() { return &*m_value; }
    const QString& failure() const { return m_failure; }

private:
    std::optional<T> m_value;
    QString m_failure;
};

// Marks a step that has no value of its own: ok, or a failure.
struct Done {};
using Status = Result<Done>;

}  // namespace korvane::xls
