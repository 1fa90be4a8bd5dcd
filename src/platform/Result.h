#pragma once
// A value, or the reason there is none in words a person can read ("the workbook is
// password-protected"). Every operation below the shell that can fail returns one.

#include <QString>
#include <optional>
#include <utility>

namespace korvane {

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
    // The failure, to hand on from a step whose value has another type.
    Failure takeFailure() const { return Failure{m_failure}; }

private:
    std::optional<T> m_value;
    QString m_failure;
};

// Marks a step that has no value of its own: ok, or a failure.
struct Done {};
using Status = Result<Done>;

}  // namespace korvane
