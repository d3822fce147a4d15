// Record files are read line by line; a torn last line must still reach the parser, which
// counts it as unreadable, and an ending '\n' must not add an empty line it would count too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/base/text_lines.h"

namespace brenvik {
namespace {

TEST(SplitLines, KeepsTornAndEmptyLinesButNoneAfterTheLastNewline) {
    const struct {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"\n", {""}},
        {"one\ntwo\n", {"one", "two"}},
        {"one\ntwo", {"one", "two"}},
        {"one\n\ntwo\n", {"one", "", "two"}},
        {"one\r\n", {"one\r"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
}

}  // namespace
}  // namespace brenvik
