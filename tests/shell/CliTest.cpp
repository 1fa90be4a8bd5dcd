#include <gtest/gtest.h>

#include "cli/CliOutput.h"

namespace korvane::cli {
namespace {

TEST(CliOutput, EscapesBackslashTabLineFeedAndCarriageReturn) {
    const std::pair<const char*, const char*> cases[] = {
        {"plain", "plain"},
        {"a\\b", "a\\\\b"},
        {"tab\there", "tab\\there"},
        {"line1\r\nline2", "line1\\r\\nline2"},
        {"\\n", "\\\\n"},  // a backslash followed by n stays distinguishable from LF
        {"東京", "東京"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(escapeField(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
    }
}

}  // namespace
}  // namespace korvane::cli
