#include <gtest/gtest.h>

#include "platform/Failure.h"

namespace korvane {
namespace {

enum class Inner { Broken };
enum class Outer { InTable, Plain };

const FailureTexts& failureTexts(Inner) {
    static const FailureTable<Inner> table{{Inner::Broken, "行(%1)が壊れています。"}};
    return table;
}

const FailureTexts& failureTexts(Outer) {
    static const FailureTable<Outer> table{{Outer::InTable, "テーブル(%1)を読み取れません。%2"},
                                           {Outer::Plain, "100% 読めません。"}};
    return table;
}

TEST(FillPattern, FillsEachPlaceholderOnceFromItsDetail) {
    const struct {
        const char* pattern;
        QStringList details;
        const char* filled;
    } cases[] = {
        {"(%1)と(%2)", {"a", "b"}, "(a)と(b)"},
        {"%2 %1 %2", {"a", "b"}, "b a b"},
        // A detail that holds a placeholder stays as it is.
        {"(%1)(%2)", {"%2", "x"}, "(%2)(x)"},
        {"%10番", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "十"}, "十番"},
        // Without its detail, or without a number, a percent sign stays.
        {"%1 %3", {"a"}, "a %3"},
        {"100% と %", {}, "100% と %"},
        {"%0", {"a"}, "%0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fillPattern(QString::fromUtf8(c.pattern), c.details), QString::fromUtf8(c.filled))
            << c.pattern;
    }
}

TEST(Failure, AWrappedFailureReadsAsOneTextAndKeepsBothCauses) {
    const Failure inner{Inner::Broken, {QStringLiteral("7")}};
    const Failure outer(Outer::InTable, {QStringLiteral("%1")}, inner);
    EXPECT_EQ(outer.text(), QStringLiteral("テーブル(%1)を読み取れません。行(7)が壊れています。"));
    EXPECT_TRUE(outer.is(Outer::InTable));
    EXPECT_FALSE(outer.is(Inner::Broken));
    EXPECT_TRUE(outer.stemsFrom(Inner::Broken));
    EXPECT_FALSE(outer.stemsFrom(Outer::Plain));
    // Causes of two areas with the same number are told apart.
    EXPECT_FALSE(Failure{Outer::InTable}.is(Inner::Broken));
    EXPECT_EQ(Failure{Outer::Plain}.text(), QStringLiteral("100% 読めません。"));
}

TEST(Failure, ASharedCauseIsToldInItsUsersWords) {
    static const FailureTable<Inner> words{{Inner::Broken, "ブックの行(%1)が壊れています。"}};
    const Failure told(words, Inner::Broken, {QStringLiteral("3")});
    EXPECT_TRUE(told.is(Inner::Broken));
    EXPECT_EQ(told.text(), QStringLiteral("ブックの行(3)が壊れています。"));
}

}  // namespace
}  // namespace korvane
