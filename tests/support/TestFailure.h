#pragma once
// A failure whose words a test gives, for fakes that stand in for a real component, and the
// words of a step that failed.

#include <QString>

#include <optional>

#include "platform/Result.h"

namespace korvane::testing {

enum class TestFault { Words };

inline const FailureTexts& failureTexts(TestFault) {
    static const FailureTable<TestFault> table{{TestFault::Words, "%1"}};
    return table;
}

inline Failure testFailure(const QString& words) {
    return Failure{TestFault::Words, {words}};
}

// The words a person reads when a step fails; nothing when it did its work.
inline std::optional<QString> messageOf(const Status& status) {
    return status ? std::nullopt : std::optional<QString>(status.failure().text());
}

}  // namespace korvane::testing
