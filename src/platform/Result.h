#pragma once
// A value, or the Failure that says why there is none. Every operation below the shell that
// can fail returns one; the words for a person are made where the failure is reported.

#include <optional>
#include <utility>

#include "platform/Failure.h"

namespace korvane {

template <typename T>
class Result {
public:
    Result(T value) : m_value(std::move(value)) {}              // NOLINT: implicit on purpose
    Result(Failure failure) : m_failure(std::move(failure)) {}  // NOLINT

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *m_value; }
    T& value() & { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    const T* operator->() const { return &*m_value; }
    T* operator->() { return &*m_value; }
    // Only when !ok().
    const Failure& failure() const { return *m_failure; }
    // The failure, to hand on from a step whose value has another type.
    Failure takeFailure() const { return *m_failure; }

private:
    std::optional<T> m_value;
    std::optional<Failure> m_failure;
};

// Marks a step that has no value of its own: ok, or a failure.
struct Done {};
using Status = Result<Done>;

}  // namespace korvane
